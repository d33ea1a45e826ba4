// Starts Kelvaro.exe and checks what a user and Windows see of it: the version
// record and the icon, the window and each control, the focus, a calculation,
// the message boxes, and the two ways the program ends.
// Usage: form1_win32_test KELVARO.EXE DOTS_PER_INCH
#include <windows.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

#include "expected_form1.h"
#include "expected_messages.h"
#include "wide_text.h"

// The expected design and texts, and the controls' positions (kText1, …).
using namespace kelvaro::expected;

namespace {

int passed = 0;
int failed = 0;

void Check(bool condition, const char* what, const std::wstring& detail = L"") {
    if (condition) {
        ++passed;
    } else {
        ++failed;
        std::printf("FAIL: %s %ls\n", what, detail.c_str());
    }
}

// The windows belong to another process: GetWindowText and SetWindowText
// would not reach a control's text there, so the messages are sent.
std::wstring WindowText(HWND window) {
    const auto length = static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
    std::vector<wchar_t> text(length + 1);
    SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

void SetText(HWND window, const wchar_t* text) {
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

std::wstring Number(long value) {
    char digits[24];
    const auto written = std::to_chars(digits, digits + sizeof digits, value);
    return std::wstring(digits, written.ptr);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

const wchar_t* WindowClass(Kind kind) {
    switch (kind) {
        case Kind::Label:
            return L"Static";
        case Kind::Picture:
            return L"KelvaroPictureBox";
        case Kind::TextBox:
            return L"Edit";
        case Kind::Button:
            return L"Button";
    }
    return L"";
}

LONG EditAlignment(Align alignment) {
    switch (alignment) {
        case Align::Left:
            return ES_LEFT;
        case Align::Centre:
            return ES_CENTER;
        case Align::Right:
            return ES_RIGHT;
    }
    return 0;
}

class Program {
  public:
    explicit Program(const std::wstring& path) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring command = L"\"" + path + L"\"";
        if (!CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &process_)) {
            std::printf("FAIL: cannot start the program (%lu)\n", GetLastError());
            std::exit(2);
        }
        WaitForInputIdle(process_.hProcess, 10000);
        // The first start in a new Wine prefix is slow.
        for (int tries = 0; tries < 3000 && window_ == nullptr; ++tries) {
            EnumWindows(FindForm, reinterpret_cast<LPARAM>(this));
            if (window_ == nullptr) {
                Sleep(20);
            }
        }
        if (window_ == nullptr) {
            std::printf("FAIL: no window\n");
            TerminateProcess(process_.hProcess, 1);
            std::exit(2);
        }
    }
    ~Program() {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 1);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }

    HWND Window() const { return window_; }
    HWND Control(int index) const { return GetDlgItem(window_, 100 + index); }
    DWORD Thread() const { return process_.dwThreadId; }

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
            box_ = nullptr;
            EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(this));
            if (box_ != nullptr) {
                return box_;
            }
            Sleep(20);
        }
        return nullptr;
    }

  private:
    static BOOL CALLBACK FindForm(HWND window, LPARAM self) {
        auto* program = reinterpret_cast<Program*>(self);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == program->process_.dwProcessId && IsWindowVisible(window) &&
            ClassOf(window) == L"KelvaroForm1") {
            program->window_ = window;
            return FALSE;
        }
        return TRUE;
    }
    static BOOL CALLBACK FindMessageBox(HWND window, LPARAM self) {
        auto* program = reinterpret_cast<Program*>(self);
        if (GetWindow(window, GW_OWNER) == program->window_ && ClassOf(window) == L"#32770" &&
            IsWindowVisible(window)) {
            program->box_ = window;
            return FALSE;
        }
        return TRUE;
    }

    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
    HWND box_ = nullptr;
};

std::wstring VersionString(const std::vector<BYTE>& record, const wchar_t* name) {
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\080404B0\\") + name;
    if (!VerQueryValueW(record.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) {
        return L"(missing)";
    }
    return value;
}

void CheckVersionRecord(const std::wstring& path) {
    DWORD ignored = 0;
    std::vector<BYTE> record(GetFileVersionInfoSizeW(path.c_str(), &ignored));
    Check(!record.empty() && GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(record.size()),
                                                 record.data()),
          "version record");
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length);
    Check(fixed != nullptr && fixed->dwFileVersionMS == 0x00010000 && fixed->dwFileVersionLS == 0 &&
              fixed->dwProductVersionMS == 0x00010000 && fixed->dwProductVersionLS == 0,
          "version 1.0.0.0");
    Check(fixed != nullptr && fixed->dwFileType == VFT_APP, "file type: application");
    Check(fixed != nullptr && fixed->dwFileOS == VOS__WINDOWS32, "file OS: 32-bit Windows");
    WORD* translation = nullptr;
    VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation",
                   reinterpret_cast<void**>(&translation), &length);
    Check(translation != nullptr && translation[0] == 0x0804 && translation[1] == 1200,
          "translation 0x0804, 1200");
    const struct {
        const wchar_t* name;
        const wchar_t* text;
    } fields[] = {
        {L"FileDescription", L"自动计算功率因数和功率"},
        {L"ProductName", L"Kelvaro"},
        {L"InternalName", L"Kelvaro"},
        {L"OriginalFilename", L"Kelvaro.exe"},
        {L"FileVersion", L"1.00"},
        {L"ProductVersion", L"1.00"},
    };
    for (const auto& field : fields) {
        Check(VersionString(record, field.name) == field.text, "version field",
              std::wstring(field.name) + L" = " + VersionString(record, field.name));
    }
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bits;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

void CheckIcon(const std::wstring& path) {
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14));
    Check(group != nullptr, "icon group 1");
    if (group == nullptr) {
        return;
    }
    const auto* header = static_cast<const WORD*>(LockResource(LoadResource(module, group)));
    Check(header[2] == 6, "six icon images");
    const auto* entries = reinterpret_cast<const GroupIconEntry*>(header + 3);
    const int expected[6][2] = {{16, 4}, {16, 8}, {16, 32}, {32, 4}, {32, 8}, {32, 32}};
    for (int i = 0; i < header[2] && i < 6; ++i) {
        Check(entries[i].id == 30001 + i, "icon image id", Number(entries[i].id));
        Check(entries[i].width == expected[i][0] && entries[i].bits == expected[i][1],
              "icon image size and depth", Number(entries[i].id));
        Check(
            FindResourceW(module, MAKEINTRESOURCEW(entries[i].id), MAKEINTRESOURCEW(3)) != nullptr,
            "icon image resource", Number(entries[i].id));
    }
    FreeLibrary(module);
}

void CheckWindow(const Program& program, int dotsPerInch) {
    HWND window = program.Window();
    Check(WindowText(window) == Wide(kCaption), "caption", WindowText(window));
    RECT client;
    GetClientRect(window, &client);
    Check(client.right == MulDiv(kClientWidth, dotsPerInch, 1440) &&
              client.bottom == MulDiv(kClientHeight, dotsPerInch, 1440),
          "client area", Number(client.right) + L"x" + Number(client.bottom));
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    Check((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU), "caption and window menu");
    Check(!(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)),
          "fixed border, no minimise or maximise button");
    RECT frame, workArea;
    GetWindowRect(window, &frame);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    Check(std::abs((frame.left + frame.right) - (workArea.left + workArea.right)) <= 1 &&
              std::abs((frame.top + frame.bottom) - (workArea.top + workArea.bottom)) <= 1,
          "centred on the screen");
}

void CheckControls(const Program& program, int dotsPerInch) {
    for (int i = 0; i < static_cast<int>(std::size(kControls)); ++i) {
        const Control& expected = kControls[i];
        const std::wstring name = Wide(expected.name);
        HWND control = program.Control(i);
        Check(control != nullptr, "control exists", name);
        if (control == nullptr) {
            continue;
        }
        Check(ClassOf(control) == WindowClass(expected.kind), "class",
              name + L" " + ClassOf(control));
        Check(WindowText(control) == Wide(expected.text), "text",
              name + L" " + WindowText(control));
        RECT box;
        GetWindowRect(control, &box);
        MapWindowPoints(HWND_DESKTOP, program.Window(), reinterpret_cast<POINT*>(&box), 2);
        const auto pixels = [dotsPerInch](int twips) { return MulDiv(twips, dotsPerInch, 1440); };
        const Place& place = expected.place;
        Check(box.left == pixels(place.left) && box.top == pixels(place.top) &&
                  box.right == pixels(place.left + place.width) &&
                  box.bottom == pixels(place.top + place.height),
              "rectangle", name);
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        if (expected.kind == Kind::TextBox) {
            Check((style & (ES_LEFT | ES_CENTER | ES_RIGHT)) == EditAlignment(expected.alignment),
                  "alignment", name);
            Check(((style & ES_READONLY) != 0) == expected.readOnly, "read-only or not", name);
        }
        if (expected.kind == Kind::Button) {
            Check((style & BS_TYPEMASK) == BS_PUSHBUTTON, "plain push button", name);
        }
    }
}

void CheckFocus(const Program& program) {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(program.Thread(), &thread);
    const auto& order = kTabOrder;
    Check(thread.hwndFocus == program.Control(order[0]), "focus starts on",
          Wide(kControls[order[0]].name));
    for (std::size_t i = 1; i <= std::size(order); ++i) {
        const Index next = order[i % std::size(order)];
        Check(GetNextDlgTabItem(program.Window(), program.Control(order[i - 1]), FALSE) ==
                  program.Control(next),
              "Tab order", Wide(kControls[next].name));
    }
}

void Type(const Program& program, const wchar_t* voltage, const wchar_t* current,
          const wchar_t* angle) {
    SetText(program.Control(kText1), voltage);
    SetText(program.Control(kText2), current);
    SetText(program.Control(kText3), angle);
}

void CheckCalculation(const Program& program) {
    Type(program, L"220", L" 10A", L"3e1");
    SendMessageW(program.Control(kCommand1), BM_CLICK, 0, 0);
    Check(WindowText(program.Control(kLabel11)) == L"0.87", "power factor",
          WindowText(program.Control(kLabel11)));
    Check(WindowText(program.Control(kText4)) == L"3300.00", "power",
          WindowText(program.Control(kText4)));
    Check(WindowText(program.Control(kText1)) == L"220" &&
              WindowText(program.Control(kText2)) == L"10" &&
              WindowText(program.Control(kText3)) == L"30",
          "inputs rewritten");
}

void CheckMessages(Program& program) {
    const struct {
        const wchar_t* voltage;
        const wchar_t* current;
        const wchar_t* angle;
        const char* message;
    } cases[] = {
        {L"", L"15", L"10", kMissingInput},
        {L"-1", L"99999", L"10", kBadVoltage},
        {L"380", L"10000.01", L"10", kBadCurrent},
        {L"380", L"15", L"90.001", kBadAngle},
    };
    for (const auto& each : cases) {
        // First a result, which the failed command must take away.
        Type(program, L"380", L"15", L"10");
        SendMessageW(program.Control(kCommand1), BM_CLICK, 0, 0);
        Type(program, each.voltage, each.current, each.angle);
        HWND box = program.ClickCalculateForMessage();
        const std::wstring message = Wide(each.message);
        Check(box != nullptr, "message box", message);
        if (box == nullptr) {
            continue;
        }
        Check(WindowText(box) == Wide(kMessageTitle), "message box title", WindowText(box));
        Check(WindowText(GetDlgItem(box, 0xFFFF)) == message, "message text",
              WindowText(GetDlgItem(box, 0xFFFF)));
        int buttons = 0;
        bool icon = false;
        for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            buttons += ClassOf(child) == L"Button" && IsWindowVisible(child);
            icon |= ClassOf(child) == L"Static" && IsWindowVisible(child) &&
                    (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                    SendMessageW(child, STM_GETICON, 0, 0) != 0;
        }
        Check(buttons == 1 && GetDlgItem(box, IDOK) != nullptr, "one OK button");
        Check(!icon, "no icon");
        Check(!IsWindowEnabled(program.Window()), "the window is inert while the box is up");
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        for (int tries = 0; tries < 250 && IsWindow(box); ++tries) {
            Sleep(20);
        }
        Check(WindowText(program.Control(kLabel11)).empty() &&
                  WindowText(program.Control(kText4)).empty(),
              "outputs emptied", message);
        Check(WindowText(program.Control(kText1)) == each.voltage &&
                  WindowText(program.Control(kText2)) == each.current &&
                  WindowText(program.Control(kText3)) == each.angle,
              "inputs kept", message);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::printf("usage: form1_win32_test KELVARO.EXE DOTS_PER_INCH\n");
        return 2;
    }
    const std::wstring path = argv[1];
    const std::string dpiText(argv[2], argv[2] + std::wcslen(argv[2]));
    int dotsPerInch = 0;
    std::from_chars(dpiText.data(), dpiText.data() + dpiText.size(), dotsPerInch);
    CheckVersionRecord(path);
    CheckIcon(path);
    {
        Program program(path);
        CheckWindow(program, dotsPerInch);
        CheckControls(program, dotsPerInch);
        CheckFocus(program);
        CheckCalculation(program);
        CheckMessages(program);
        PostMessageW(program.Control(kCommand2), BM_CLICK, 0, 0);
        Check(program.WaitForEnd() == 0, "Exit ends the program with status 0");
    }
    {
        Program program(path);
        PostMessageW(program.Window(), WM_CLOSE, 0, 0);
        Check(program.WaitForEnd() == 0, "WM_CLOSE ends the program with status 0");
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
