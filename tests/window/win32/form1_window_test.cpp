// Form1 built in the test's own process, where what only the window's process
// can see is checked: the controls' fonts (a font handle means nothing in
// another process), the banner's pixels, the power drawn whole in its box, a
// change of screen density, the GDI objects left after use, the names screen
// readers are given, two windows in one process, and how the message loop
// ends, also when Windows refuses the window or a message.
// Usage: form1_window_test IGNORED DOTS_PER_INCH [GoogleTest options]
#include <windows.h>

#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "expected_form1.h"
#include "expected_powers.h"
#include "named_rows.h"
#include "win32_testing.h"
#include "window/win32/form1_window.h"
#include "window/win32/kelvaro_application.h"

// The expected design, and the controls' positions (kText1, …).
using namespace kelvaro::expected;

namespace {

// The screen density Wine was started with.
int startDotsPerInch = 96;

int Pixels(int twips, int dotsPerInch) {
    return (twips * dotsPerInch + 720) / 1440;
}

// A control's place at a density, in the window's client coordinates.
RECT Expected(Index control, int dotsPerInch) {
    const Place& place = kControls[control].place;
    return {Pixels(place.left, dotsPerInch), Pixels(place.top, dotsPerInch),
            Pixels(place.left + place.width, dotsPerInch),
            Pixels(place.top + place.height, dotsPerInch)};
}

// The character height, in pixels, that a font of each size asks for at 96,
// 120 and 144 dots per inch: points × dpi / 72, to the nearest pixel.
struct Height {
    double points;
    int pixels[3];
};

constexpr Height kHeights[] = {
    {9, {12, 15, 18}},     {10.5, {14, 18, 21}},  {12, {16, 20, 24}},
    {14.25, {19, 24, 29}}, {21.75, {29, 36, 44}},
};

// The height for a size at a density, or 0 when the table has none.
int PixelHeight(double points, int dotsPerInch) {
    const int column = dotsPerInch == 96 ? 0 : dotsPerInch == 120 ? 1 : dotsPerInch == 144 ? 2 : -1;
    for (const Height& height : kHeights) {
        if (height.points == points && column >= 0) {
            return height.pixels[column];
        }
    }
    return 0;
}

// The form this thread made, not another program's, such as a Kelvaro.exe of
// the black-box test, which shares the Wine prefix.
HWND FindForm() {
    return ThreadWindow(GetCurrentThreadId(), L"KelvaroForm1");
}

HWND ControlWindow(HWND form, Index control) {
    return GetDlgItem(form, 100 + control);
}

RECT ControlBox(HWND form, Index control) {
    RECT box;
    GetWindowRect(ControlWindow(form, control), &box);
    MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&box), 2);
    return box;
}

LOGFONTW FontOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return font;
}

std::string Describe(const RECT& box) {
    return std::to_string(box.left) + "," + std::to_string(box.top) + " - " +
           std::to_string(box.right) + "," + std::to_string(box.bottom);
}

// What a window paints, drawn into a bitmap of its client area's size.
class Snapshot {
  public:
    Snapshot(HWND window, UINT message) {
        GetClientRect(window, &client_);
        HDC screen = GetDC(nullptr);
        context_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, client_.right, client_.bottom);
        ReleaseDC(nullptr, screen);
        previous_ = SelectObject(context_, bitmap_);
        HBRUSH magenta = CreateSolidBrush(RGB(0xFF, 0x00, 0xFF));
        FillRect(context_, &client_, magenta);
        DeleteObject(magenta);
        SendMessageW(window, message, reinterpret_cast<WPARAM>(context_), PRF_CLIENT);
    }
    ~Snapshot() {
        SelectObject(context_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(context_);
    }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

    int Width() const { return client_.right; }
    int Height() const { return client_.bottom; }
    COLORREF At(int x, int y) const { return GetPixel(context_, x, y); }

  private:
    RECT client_{};
    HDC context_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
};

bool Dark(COLORREF colour) {
    return GetRValue(colour) + GetGValue(colour) + GetBValue(colour) < 3 * 0x90;
}

// The banner's thin dark frame runs along every edge of the box's inside
// (2 pixels of border a side): no strip of the box shows, and none is cut.
void ExpectBannerFillsItsBox(HWND form, int dotsPerInch) {
    const Snapshot banner(ControlWindow(form, kPicture1), WM_PRINTCLIENT);
    const RECT box = Expected(kPicture1, dotsPerInch);
    EXPECT_EQ(banner.Width(), box.right - box.left - 4);
    EXPECT_EQ(banner.Height(), box.bottom - box.top - 4);
    int lightEdgePixels = 0;
    for (int x = 0; x < banner.Width(); ++x) {
        lightEdgePixels += !Dark(banner.At(x, 0)) + !Dark(banner.At(x, banner.Height() - 1));
    }
    for (int y = 0; y < banner.Height(); ++y) {
        lightEdgePixels += !Dark(banner.At(0, y)) + !Dark(banner.At(banner.Width() - 1, y));
    }
    EXPECT_EQ(lightEdgePixels, 0) << "at " << dotsPerInch << " dpi";
    EXPECT_FALSE(Dark(banner.At(banner.Width() / 2, banner.Height() / 4)))
        << "the banner's field inside its frame";
}

// What Windows tells a window it moves to a screen of the density, with the
// frame it suggests there.
void MoveToDensity(HWND form, int dotsPerInch) {
    RECT suggested{50, 40, 50 + 600, 40 + 450};
    SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(dotsPerInch, dotsPerInch),
                 reinterpret_cast<LPARAM>(&suggested));
}

// The window laid out for the density: its client area, and every control's
// place and font, the form's face at the control's size and weight (the
// picture box draws no text).
void ExpectLaidOutFor(HWND form, int dotsPerInch) {
    RECT client;
    GetClientRect(form, &client);
    EXPECT_EQ(client.right, Pixels(kClientWidth, dotsPerInch));
    EXPECT_EQ(client.bottom, Pixels(kClientHeight, dotsPerInch));
    for (int i = 0; i < static_cast<int>(std::size(kControls)); ++i) {
        const auto control = static_cast<Index>(i);
        const std::string where =
            std::string(kControls[i].name) + " at " + std::to_string(dotsPerInch) + " dpi";
        EXPECT_EQ(Describe(ControlBox(form, control)), Describe(Expected(control, dotsPerInch)))
            << where;
        if (kControls[i].kind != Kind::Picture) {
            const LOGFONTW font = FontOf(ControlWindow(form, control));
            EXPECT_EQ(std::wstring(font.lfFaceName), Wide(kFontFamily)) << where;
            EXPECT_EQ(font.lfCharSet, kGb2312Charset) << where;
            EXPECT_EQ(font.lfWeight, kControls[i].bold ? FW_BOLD : FW_NORMAL) << where;
            EXPECT_EQ(font.lfHeight, -PixelHeight(kControls[i].points, dotsPerInch)) << where;
        }
    }
}

// The power as Text4 draws it, in the font it has: the text is no wider than
// the edit's formatting rectangle, and its blue ink lies inside that, clear
// of both ends, centred, and as wide as the whole text less the side
// bearings of its end characters (under half a character's height). A text
// cut short starts at one end and leaves characters out.
void ExpectPowerDrawnWhole(HWND form, const std::wstring& power, int dotsPerInch) {
    HWND text4 = ControlWindow(form, kText4);
    RECT room;
    SendMessageW(text4, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&room));
    const auto font = reinterpret_cast<HFONT>(SendMessageW(text4, WM_GETFONT, 0, 0));
    HDC context = GetDC(text4);
    const HGDIOBJ previous = SelectObject(context, font);
    SIZE extent{};
    GetTextExtentPoint32W(context, power.c_str(), static_cast<int>(power.size()), &extent);
    SelectObject(context, previous);
    ReleaseDC(text4, context);
    const std::string where = " at " + std::to_string(dotsPerInch) + " dpi";
    EXPECT_LE(extent.cx, room.right - room.left) << where;

    const Snapshot drawn(text4, WM_PRINTCLIENT);
    int left = drawn.Width();
    int right = -1;
    for (int x = 0; x < drawn.Width(); ++x) {
        for (int y = 0; y < drawn.Height(); ++y) {
            const COLORREF pixel = drawn.At(x, y);
            if (GetRValue(pixel) < 0x80 && GetBValue(pixel) > 0x80) {
                left = std::min(left, x);
                right = x;
            }
        }
    }
    ASSERT_GE(right, 0) << "no text drawn" << where;
    const int leftGap = left - static_cast<int>(room.left);
    const int rightGap = static_cast<int>(room.right) - 1 - right;
    const std::string ink =
        "ink " + std::to_string(left) + " - " + std::to_string(right) + " in " + Describe(room);
    EXPECT_GT(leftGap, 0) << ink << where;
    EXPECT_GT(rightGap, 0) << ink << where;
    EXPECT_LE(std::abs(leftGap - rightGap), 2) << ink << where;
    EXPECT_GE(right - left + 1, extent.cx + FontOf(text4).lfHeight / 2)
        << ink << ", text " << extent.cx << " wide" << where;
}

class Form1WindowTest : public testing::Test {
  protected:
    kelvaro::win32::Form1Window form_{GetModuleHandleW(nullptr)};
    HWND window_ = FindForm();
};

TEST_F(Form1WindowTest, LaysItselfOutForItsScreensDensity) {
    ExpectLaidOutFor(window_, startDotsPerInch);
    ExpectBannerFillsItsBox(window_, startDotsPerInch);
}

TEST_F(Form1WindowTest, LaysItselfOutAgainOnEachScreenDensity) {
    for (const int dotsPerInch : {96, 144, 120}) {
        MoveToDensity(window_, dotsPerInch);
        RECT frame;
        GetWindowRect(window_, &frame);
        EXPECT_EQ(frame.left, 50);
        EXPECT_EQ(frame.top, 40);
        ExpectLaidOutFor(window_, dotsPerInch);
        ExpectBannerFillsItsBox(window_, dotsPerInch);
    }
}

class PowerBox : public Form1WindowTest {
  protected:
    void Calculate(const PowerShown& row) {
        SetWindowTextW(ControlWindow(window_, kText1), Wide(row.voltage).c_str());
        SetWindowTextW(ControlWindow(window_, kText2), Wide(row.current).c_str());
        SetWindowTextW(ControlWindow(window_, kText3), Wide(row.angle).c_str());
        SendMessageW(ControlWindow(window_, kCommand1), BM_CLICK, 0, 0);
    }
};

class EachPowerShown : public PowerBox, public testing::WithParamInterface<PowerShown> {};

// A power too wide for Text4 at the design's font is drawn smaller, whole, in
// the same face; one that fits is drawn as designed. Either way the box holds
// the exact text, which is what a user selects and copies. The rows fit or
// not alike at 96, 120 and 144 dpi.
TEST_P(EachPowerShown, IsWholeInText4) {
    const PowerShown& row = GetParam();
    Calculate(row);
    HWND text4 = ControlWindow(window_, kText4);
    EXPECT_EQ(WindowText(text4), Wide(row.power));
    const LOGFONTW font = FontOf(text4);
    EXPECT_EQ(std::wstring(font.lfFaceName), Wide(kFontFamily));
    EXPECT_EQ(font.lfCharSet, kGb2312Charset);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    const int designHeight = PixelHeight(kControls[kText4].points, startDotsPerInch);
    EXPECT_LE(-font.lfHeight, designHeight);
    EXPECT_EQ(-font.lfHeight == designHeight, row.fitsAtDesignFont)
        << "character height " << -font.lfHeight << " at " << startDotsPerInch << " dpi";
    ExpectPowerDrawnWhole(window_, Wide(row.power), startDotsPerInch);
}

INSTANTIATE_TEST_SUITE_P(Powers, EachPowerShown, testing::ValuesIn(kPowersShown), RowName{});

// A change of density gives Text4 the design's font for the new density
// again: the widest power is fitted anew.
TEST_F(PowerBox, WidestStaysWholeOnEachScreenDensity) {
    const PowerShown& widest = kPowersShown[std::size(kPowersShown) - 1];
    Calculate(widest);
    for (const int dotsPerInch : {144, 96, 120}) {
        MoveToDensity(window_, dotsPerInch);
        EXPECT_LT(-FontOf(ControlWindow(window_, kText4)).lfHeight,
                  PixelHeight(kControls[kText4].points, dotsPerInch));
        ExpectPowerDrawnWhole(window_, Wide(widest.power), dotsPerInch);
    }
}

// A timer's, run by the modal loop of the message box this thread shows.
void CALLBACK AnswerMessageBox(HWND, UINT, UINT_PTR, DWORD) {
    if (HWND box = ThreadWindow(GetCurrentThreadId(), L"#32770")) {
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
}

// Each font, bitmap and region the form makes for a result, a message or a
// density is deleted again. Counted after a first round of each, as Windows
// keeps what it makes on first use, a message box's above all.
TEST_F(PowerBox, DeletesEveryGdiObjectItMakes) {
    if (GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) == 0) {
        GTEST_SKIP() << "this system does not count a process's GDI objects: GetGuiResources "
                     << "gives 0, error " << GetLastError() << " (Wine's is a stub)";
    }
    const auto use = [&](int rounds) {
        const UINT_PTR answer = SetTimer(nullptr, 0, 1, AnswerMessageBox);
        for (int round = 0; round < rounds; ++round) {
            Calculate(kPowersShown[std::size(kPowersShown) - 1]);
            Calculate(kPowersShown[0]);
            if (round % 5 == 0) {
                Calculate({"Missing", "", "15", "10", "", false});
            }
        }
        KillTimer(nullptr, answer);
        MoveToDensity(window_, 144);
        MoveToDensity(window_, startDotsPerInch);
    };
    use(1);
    const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    use(500);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);
}

// What the form tells screen readers, as the annotation service and UI
// Automation receive it: seen here, since Wine's annotation service refuses
// every call and its UI Automation has no notifications.
class RecordingAnnotations : public IAccPropServices {
  public:
    struct Annotation {
        std::wstring name, description;
        long role = 0, live = 0;
    };
    std::map<HWND, Annotation> annotations;

    HRESULT WINAPI SetHwndPropStr(HWND window, DWORD, DWORD, MSAAPROPID property,
                                  LPCWSTR text) override {
        Text(window, property) = text;
        return S_OK;
    }
    HRESULT WINAPI SetHwndProp(HWND window, DWORD, DWORD, MSAAPROPID property,
                               VARIANT value) override {
        (IsEqualGUID(property, PROPID_ACC_ROLE) ? annotations[window].role
                                                : annotations[window].live) = value.lVal;
        return S_OK;
    }
    HRESULT WINAPI ClearHwndProps(HWND window, DWORD, DWORD, const MSAAPROPID* properties,
                                  int count) override {
        count > 1 ? static_cast<void>(annotations.erase(window))
                  : Text(window, *properties).clear();
        return S_OK;
    }

    HRESULT WINAPI QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG WINAPI AddRef() override { return 2; }
    ULONG WINAPI Release() override { return 1; }
    // clang-format off
    HRESULT WINAPI SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override { return E_FAIL; }
    HRESULT WINAPI SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope) override { return E_FAIL; }
    HRESULT WINAPI ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override { return E_FAIL; }
    HRESULT WINAPI SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope) override { return E_FAIL; }
    HRESULT WINAPI ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override { return E_FAIL; }
    HRESULT WINAPI DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*) override { return E_FAIL; }
    HRESULT WINAPI SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override { return E_FAIL; }
    HRESULT WINAPI SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override { return E_FAIL; }
    HRESULT WINAPI SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope) override { return E_FAIL; }
    HRESULT WINAPI ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override { return E_FAIL; }
    HRESULT WINAPI ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override { return E_FAIL; }
    HRESULT WINAPI DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) override { return E_FAIL; }
    // clang-format on

  private:
    std::wstring& Text(HWND window, const MSAAPROPID& property) {
        return IsEqualGUID(property, PROPID_ACC_NAME) ? annotations[window].name
                                                      : annotations[window].description;
    }
};

std::vector<std::wstring> notifications;

HRESULT WINAPI RecordNotification(IRawElementProviderSimple* source, int kind, int processing,
                                  BSTR text, BSTR) {
    const int actionCompleted = 2, importantMostRecent = 1;
    EXPECT_NE(source, nullptr);
    EXPECT_EQ(kind, actionCompleted);
    EXPECT_EQ(processing, importantMostRecent);
    notifications.push_back(text);
    return S_OK;
}

std::vector<HWND> liveRegionsChanged;

void CALLBACK RecordLiveRegion(HWINEVENTHOOK, DWORD, HWND window, LONG, LONG, DWORD, DWORD) {
    liveRegionsChanged.push_back(window);
}

// The announcer: the form's one child that is none of its controls.
HWND Announcer(HWND form) {
    HWND child = GetWindow(form, GW_CHILD);
    while (child != nullptr && GetDlgCtrlID(child) >= 100) {
        child = GetWindow(child, GW_HWNDNEXT);
    }
    return child;
}

// The name Windows' own proxies give a screen reader.
std::wstring AccessibleName(HWND window) {
    IAccessible* accessible = nullptr;
    if (AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                   reinterpret_cast<void**>(&accessible)) != S_OK) {
        return L"(no accessible object)";
    }
    VARIANT self{};
    self.vt = VT_I4;
    BSTR name = nullptr;
    accessible->get_accName(self, &name);
    std::wstring text = name != nullptr ? name : L"(none)";
    SysFreeString(name);
    accessible->Release();
    return text;
}

TEST(ScreenReaders, AreToldTheDesignsNamesAndUnitsAndTheResults) {
    RecordingAnnotations annotations;
    notifications.clear();
    auto form = std::make_unique<kelvaro::win32::Form1Window>(
        GetModuleHandleW(nullptr),
        kelvaro::win32::ScreenReaderServices{&annotations, RecordNotification});
    HWND window = FindForm();
    for (const Spoken& spoken : kSpoken) {
        const auto& told = annotations.annotations[ControlWindow(window, spoken.control)];
        EXPECT_EQ(told.name, Wide(spoken.name)) << kControls[spoken.control].name;
        EXPECT_EQ(told.description, Wide(spoken.description)) << kControls[spoken.control].name;
    }
    EXPECT_EQ(annotations.annotations[ControlWindow(window, kPicture1)].role, ROLE_SYSTEM_GRAPHIC);
    const long polite = 1;
    EXPECT_EQ(annotations.annotations[Announcer(window)].live, polite);

    SendMessageW(ControlWindow(window, kCommand1), BM_CLICK, 0, 0);
    EXPECT_EQ(annotations.annotations[ControlWindow(window, kLabel11)].name,
              Wide(kLabel11NamedWithResult));
    EXPECT_EQ(notifications, std::vector<std::wstring>{Wide(kResultsTold)});
    form.reset();
    EXPECT_TRUE(annotations.annotations.empty()) << "annotations outlive their controls";
}

// Where Windows has no UI Automation notifications, the announcer, a live
// region, changes, named by the results.
TEST(ScreenReaders, HearTheResultsFromALiveRegionWithoutNotifications) {
    kelvaro::win32::Form1Window form(GetModuleHandleW(nullptr), {});
    HWND window = FindForm();
    const DWORD liveRegionChanged = 0x8019;
    liveRegionsChanged.clear();
    HWINEVENTHOOK hook =
        SetWinEventHook(liveRegionChanged, liveRegionChanged, GetModuleHandleW(nullptr),
                        RecordLiveRegion, GetCurrentProcessId(), 0, WINEVENT_INCONTEXT);
    ASSERT_NE(hook, nullptr);
    SendMessageW(ControlWindow(window, kCommand1), BM_CLICK, 0, 0);
    UnhookWinEvent(hook);
    ASSERT_EQ(liveRegionsChanged, std::vector<HWND>{Announcer(window)});
    EXPECT_EQ(AccessibleName(Announcer(window)), Wide(kResultsTold));
}

// The names a screen reader reads, where the annotation service works.
TEST_F(Form1WindowTest, ScreenReadersReadTheAnnotatedNames) {
    const auto system = kelvaro::win32::ScreenReaderServices::System();
    const bool annotates =
        system.annotations != nullptr &&
        SUCCEEDED(system.annotations->SetHwndPropStr(window_, static_cast<DWORD>(OBJID_CLIENT),
                                                     CHILDID_SELF, PROPID_ACC_HELP, L"?"));
    if (system.annotations != nullptr) {
        system.annotations->Release();
    }
    if (!annotates) {
        GTEST_SKIP() << "this system's annotation service refuses annotations (Wine's is a stub)";
    }
    for (const Spoken& spoken : kSpoken) {
        EXPECT_EQ(AccessibleName(ControlWindow(window_, spoken.control)), Wide(spoken.name))
            << kControls[spoken.control].name;
    }
}

// Text4 is drawn over Label8, which reaches under it.
TEST_F(Form1WindowTest, Text4LiesAboveLabel8) {
    HWND label8 = ControlWindow(window_, kLabel8);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(label8, region), ERROR);
    const RECT label = ControlBox(window_, kLabel8);
    const RECT text4 = ControlBox(window_, kText4);
    EXPECT_FALSE(PtInRegion(region, text4.left - label.left, text4.top + 2 - label.top));
    EXPECT_TRUE(PtInRegion(region, text4.left - 2 - label.left, text4.top + 2 - label.top));
    DeleteObject(region);
}

BOOL CALLBACK ExpectFormBackground(HWND window, LPARAM forms) {
    if (ClassOf(window) == L"KelvaroForm1") {
        ++*reinterpret_cast<int*>(forms);
        const Snapshot background(window, WM_ERASEBKGND);
        EXPECT_EQ(background.At(1, 1),
                  RGB(kBackground >> 16, (kBackground >> 8) & 0xFF, kBackground & 0xFF));
    }
    return TRUE;
}

// The window class is the process's: a window made after another has gone
// still paints the form's background.
TEST(Form1WindowsInOneProcess, EachPaintsTheBackground) {
    auto first = std::make_unique<kelvaro::win32::Form1Window>(GetModuleHandleW(nullptr));
    kelvaro::win32::Form1Window second(GetModuleHandleW(nullptr));
    first.reset();
    kelvaro::win32::Form1Window third(GetModuleHandleW(nullptr));
    int forms = 0;
    EnumThreadWindows(GetCurrentThreadId(), ExpectFormBackground, reinterpret_cast<LPARAM>(&forms));
    EXPECT_EQ(forms, 2);
}

void CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD) {
    PostQuitMessage(-1);
}

// The message loop as the program runs it, given up after five seconds.
std::optional<int> RunLoop(kelvaro::win32::Form1Window& form,
                           kelvaro::win32::GetMessageFunction getMessage = GetMessageW) {
    const UINT_PTR giveUp = SetTimer(nullptr, 0, 5000, GiveUp);
    const std::optional<int> status = kelvaro::win32::RunMessageLoop(form, getMessage);
    KillTimer(nullptr, giveUp);
    return status;
}

// What Windows sends the form on each way out.
struct WayOut {
    const char* name;
    void (*take)(HWND form);
};

void PrintTo(const WayOut& wayOut, std::ostream* out) {
    *out << wayOut.name;
}

class EachWayOut : public testing::TestWithParam<WayOut> {};

TEST_P(EachWayOut, EndsTheMessageLoopOnce) {
    auto form = std::make_unique<kelvaro::win32::Form1Window>(GetModuleHandleW(nullptr));
    ASSERT_TRUE(form->Created());
    GetParam().take(FindForm());
    EXPECT_EQ(RunLoop(*form), 0);
    form.reset();
    MSG quit;
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        << "the window's going asked for a second end";
}

INSTANTIATE_TEST_SUITE_P(
    Form1, EachWayOut,
    testing::Values(
        WayOut{"Exit",
               [](HWND form) { PostMessageW(ControlWindow(form, kCommand2), BM_CLICK, 0, 0); }},
        WayOut{"CloseBox", [](HWND form) { PostMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0); }}),
    RowName{});

BOOL WINAPI FailToReadAMessage(MSG*, HWND, UINT, UINT) {
    return -1;
}

TEST_F(Form1WindowTest, MessageLoopFailsWhenAMessageCannotBeRead) {
    EXPECT_FALSE(RunLoop(form_, FailToReadAMessage).has_value());
}

// Windows refuses every window of the thread the program runs on.
LRESULT CALLBACK RefuseEveryWindow(int code, WPARAM wParam, LPARAM lParam) {
    return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

DWORD WINAPI RunKelvaroWithoutWindows(void* status) {
    HHOOK hook = SetWindowsHookExW(WH_CBT, RefuseEveryWindow, nullptr, GetCurrentThreadId());
    if (hook == nullptr) {
        return 1;
    }
    *static_cast<int*>(status) =
        kelvaro::win32::RunKelvaro(GetModuleHandleW(nullptr), SW_SHOWNORMAL);
    UnhookWindowsHookEx(hook);
    return 0;
}

TEST(KelvaroWithoutAWindow, EndsWithAFailureStatus) {
    // Outlives the test, should the thread never end.
    static int status = 0;
    HANDLE thread = CreateThread(nullptr, 0, RunKelvaroWithoutWindows, &status, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    const DWORD waited = WaitForSingleObject(thread, 10000);
    DWORD hooked = 1;
    GetExitCodeThread(thread, &hooked);
    CloseHandle(thread);
    ASSERT_EQ(waited, WAIT_OBJECT_0) << "still waiting for a window that never comes";
    ASSERT_EQ(hooked, 0u) << "the hook that refuses the windows was not set";
    EXPECT_NE(status, 0);
}

// Windows refuses the text boxes, for want of handles.
LRESULT CALLBACK RefuseTextBoxes(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && ClassOf(reinterpret_cast<HWND>(wParam)) == L"Edit") {
        SetLastError(ERROR_NO_MORE_USER_HANDLES);
        return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The reason is the first refusal's, whatever the calls after it would leave.
TEST(Form1WindowRefused, TellsWhyTheFirstControlWasRefused) {
    HHOOK hook = SetWindowsHookExW(WH_CBT, RefuseTextBoxes, nullptr, GetCurrentThreadId());
    const kelvaro::win32::Form1Window form(GetModuleHandleW(nullptr));
    UnhookWindowsHookEx(hook);
    EXPECT_FALSE(form.Created());
    EXPECT_EQ(form.CreationError(), static_cast<DWORD>(ERROR_NO_MORE_USER_HANDLES));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc != 3) {
        std::fputs("usage: form1_window_test IGNORED DOTS_PER_INCH [GoogleTest options]\n", stderr);
        return 2;
    }
    startDotsPerInch = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int status = RUN_ALL_TESTS();
    CoUninitialize();
    return status;
}
