// Starts Kelvaro.exe and checks what a user and Windows see of it: the window
// and each control, the focus, a calculation, a message box, and the two ways
// the program ends. (What the file carries, its icon and version record, is
// static_checks.sh's to read.)
// Usage: form1_win32_test KELVARO.EXE DOTS_PER_INCH [GoogleTest options]
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <iterator>
#include <memory>
#include <string>

#include "expected_form1.h"
#include "expected_messages.h"
#include "win32_testing.h"

// The expected design and texts, and the controls' positions (kText1, …).
using namespace kelvaro::expected;

namespace {

// Given on the command line.
std::wstring kelvaroPath;
int dotsPerInch = 96;

// The window class of each kind of control, and the edit style of each
// alignment, in the order of the enumerators.
constexpr const wchar_t* kWindowClasses[] = {L"Static", L"KelvaroPictureBox", L"Edit", L"Button"};
constexpr LONG kEditAlignments[] = {ES_LEFT, ES_CENTER, ES_RIGHT};

class Program {
  public:
    explicit Program(const std::wstring& path) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring command = L"\"" + path + L"\"";
        if (!CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &process_)) {
            return;
        }
        WaitForInputIdle(process_.hProcess, 10000);
        // The first start in a new Wine prefix is slow.
        for (int tries = 0; tries < 3000 && window_ == nullptr; ++tries) {
            HWND form = ThreadWindow(process_.dwThreadId, L"KelvaroForm1");
            if (IsWindowVisible(form)) {
                window_ = form;
            } else {
                Sleep(20);
            }
        }
    }
    ~Program() {
        if (process_.hProcess == nullptr) {
            return;
        }
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 1);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Null when the program did not start or showed no window.
    HWND Window() const { return window_; }
    HWND Control(int index) const { return GetDlgItem(window_, 100 + index); }
    DWORD Thread() const { return process_.dwThreadId; }

    // SetWindowText would not reach a control's text in another process.
    void Type(const wchar_t* voltage, const wchar_t* current, const wchar_t* angle) const {
        SendMessageW(Control(kText1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(voltage));
        SendMessageW(Control(kText2), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(current));
        SendMessageW(Control(kText3), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(angle));
    }

    // The exit code once the program has ended, or -1 if it goes on.
    long WaitForEnd() {
        if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) {
            return -1;
        }
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return static_cast<long>(code);
    }

    // Clicks Calculate the way a message box cannot block, and returns the
    // message box that came up, if any.
    HWND ClickCalculateForMessage() {
        PostMessageW(Control(kCommand1), BM_CLICK, 0, 0);
        for (int tries = 0; tries < 250; ++tries) {
            HWND box = ThreadWindow(process_.dwThreadId, L"#32770");
            if (IsWindowVisible(box)) {
                return box;
            }
            Sleep(20);
        }
        return nullptr;
    }

  private:
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};

// One running program for the tests that only look at the window as it
// opens, in any order: a start under Wine takes its time.
class RunningKelvaro : public testing::Test {
  protected:
    static void SetUpTestSuite() { program_ = std::make_unique<Program>(kelvaroPath); }
    static void TearDownTestSuite() { program_.reset(); }
    void SetUp() override {
        ASSERT_NE(program_->Window(), nullptr) << "Kelvaro.exe shows no window";
    }

    static Program& program() { return *program_; }
    static HWND ControlWindow(Index index) { return program_->Control(index); }

  private:
    static std::unique_ptr<Program> program_;
};
std::unique_ptr<Program> RunningKelvaro::program_;

// A program of the test's own, for a test that changes what the window shows
// or where its focus is.
class KelvaroInUse : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(program_.Window(), nullptr) << "Kelvaro.exe shows no window";
    }

    Program program_{kelvaroPath};
};

TEST_F(RunningKelvaro, FocusStartsOnPicture1AndTabFollowsTheDesign) {
    // Activation gives the frame the focus the moment the window appears,
    // a little before the program hands it to the first control; Wine may
    // report the program idle before that.
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    for (int tries = 0; tries < 100; ++tries) {
        GetGUIThreadInfo(program().Thread(), &thread);
        if (thread.hwndFocus != nullptr && thread.hwndFocus != program().Window()) {
            break;
        }
        Sleep(20);
    }
    const auto& order = kTabOrder;
    EXPECT_EQ(thread.hwndFocus, ControlWindow(order[0])) << kControls[order[0]].name;
    for (std::size_t i = 1; i <= std::size(order); ++i) {
        const Index next = order[i % std::size(order)];
        EXPECT_EQ(GetNextDlgTabItem(program().Window(), ControlWindow(order[i - 1]), FALSE),
                  ControlWindow(next))
            << "Tab from " << kControls[order[i - 1]].name << " to " << kControls[next].name;
    }
}

TEST_F(RunningKelvaro, WindowIsFixedCentredAndCaptioned) {
    HWND window = program().Window();
    EXPECT_EQ(WindowText(window), Wide(kCaption));
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, MulDiv(kClientWidth, dotsPerInch, 1440));
    EXPECT_EQ(client.bottom, MulDiv(kClientHeight, dotsPerInch, 1440));
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU) << "window menu";
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX))
        << "fixed border, no minimise or maximise button";
    RECT frame, workArea;
    GetWindowRect(window, &frame);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    EXPECT_LE(std::abs((frame.left + frame.right) - (workArea.left + workArea.right)), 1);
    EXPECT_LE(std::abs((frame.top + frame.bottom) - (workArea.top + workArea.bottom)), 1);
}

class EachControl : public RunningKelvaro, public testing::WithParamInterface<Index> {};

TEST_P(EachControl, StandsAsDesigned) {
    const Control& expected = kControls[GetParam()];
    HWND control = ControlWindow(GetParam());
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(ClassOf(control), kWindowClasses[static_cast<int>(expected.kind)]);
    EXPECT_EQ(WindowText(control), Wide(expected.text));
    RECT box;
    GetWindowRect(control, &box);
    MapWindowPoints(HWND_DESKTOP, program().Window(), reinterpret_cast<POINT*>(&box), 2);
    const auto pixels = [](int twips) { return MulDiv(twips, dotsPerInch, 1440); };
    const Place& place = expected.place;
    EXPECT_EQ(box.left, pixels(place.left));
    EXPECT_EQ(box.top, pixels(place.top));
    EXPECT_EQ(box.right, pixels(place.left + place.width));
    EXPECT_EQ(box.bottom, pixels(place.top + place.height));
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    if (expected.kind == Kind::TextBox) {
        EXPECT_EQ(style & (ES_LEFT | ES_CENTER | ES_RIGHT),
                  kEditAlignments[static_cast<int>(expected.alignment)]);
        EXPECT_EQ((style & ES_READONLY) != 0, expected.readOnly);
    }
    if (expected.kind == Kind::Button) {
        EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON) << "a plain push button";
    }
}

INSTANTIATE_TEST_SUITE_P(Form1, EachControl, testing::Range(kLabel1, Index(kLabel11 + 1)),
                         [](const testing::TestParamInfo<Index>& info) {
                             return std::string(kControls[info.param].name);
                         });

TEST_F(KelvaroInUse, CalculateShowsResultsAndRewritesTheInputs) {
    program_.Type(L"220", L" 10A", L"3e1");
    SendMessageW(program_.Control(kCommand1), BM_CLICK, 0, 0);
    EXPECT_EQ(WindowText(program_.Control(kLabel11)), L"0.87");
    EXPECT_EQ(WindowText(program_.Control(kText4)), L"3300.00");
    EXPECT_EQ(WindowText(program_.Control(kText1)), L"220");
    EXPECT_EQ(WindowText(program_.Control(kText2)), L"10");
    EXPECT_EQ(WindowText(program_.Control(kText3)), L"30");
}

// A failed check: its message in a modal box with the application's title and
// one OK button, and the earlier result taken away. Which message each check
// gives is the core's and the behaviour's to prove.
TEST_F(KelvaroInUse, MessageShowsInAModalBoxAndTakesAwayTheResult) {
    program_.Type(L"380", L"15", L"10");
    SendMessageW(program_.Control(kCommand1), BM_CLICK, 0, 0);
    program_.Type(L"", L"15", L"10");
    HWND box = program_.ClickCalculateForMessage();
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(GetWindow(box, GW_OWNER), program_.Window()) << "the window's own box";
    EXPECT_EQ(WindowText(box), Wide(kMessageTitle));
    EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)), Wide(kMissingInput));
    int buttons = 0;
    bool icon = false;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        buttons += ClassOf(child) == L"Button" && IsWindowVisible(child);
        icon |= ClassOf(child) == L"Static" && IsWindowVisible(child) &&
                (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                SendMessageW(child, STM_GETICON, 0, 0) != 0;
    }
    EXPECT_EQ(buttons, 1);
    EXPECT_NE(GetDlgItem(box, IDOK), nullptr) << "an OK button";
    EXPECT_FALSE(icon);
    EXPECT_FALSE(IsWindowEnabled(program_.Window())) << "the window is inert while the box is up";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    for (int tries = 0; tries < 250 && IsWindow(box); ++tries) {
        Sleep(20);
    }
    EXPECT_EQ(WindowText(program_.Control(kLabel11)), L"");
    EXPECT_EQ(WindowText(program_.Control(kText4)), L"");
    EXPECT_EQ(WindowText(program_.Control(kText1)), L"");
    EXPECT_EQ(WindowText(program_.Control(kText2)), L"15");
    EXPECT_EQ(WindowText(program_.Control(kText3)), L"10");
}

// Each way out ends a program of its own, with status 0.
using KelvaroEnds = KelvaroInUse;

TEST_F(KelvaroEnds, OnExit) {
    PostMessageW(program_.Control(kCommand2), BM_CLICK, 0, 0);
    EXPECT_EQ(program_.WaitForEnd(), 0);
}

TEST_F(KelvaroEnds, OnClose) {
    PostMessageW(program_.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program_.WaitForEnd(), 0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc != 3) {
        std::fputs("usage: form1_win32_test KELVARO.EXE DOTS_PER_INCH [GoogleTest options]\n",
                   stderr);
        return 2;
    }
    kelvaroPath = argv[1];
    dotsPerInch = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
    return RUN_ALL_TESTS();
}
