// Form1 built in the test's own process, where what only the window's process
// can see is checked: the banner's pixels, a change of screen density, the
// names screen readers are given, and two windows in one process.
// Usage: form1_window_test IGNORED DOTS_PER_INCH [GoogleTest options]
#include <windows.h>

#include <gtest/gtest.h>
#include <oleacc.h>

#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "window/win32/form1_window.h"

namespace {

// The screen density Wine was started with.
int startDotsPerInch = 96;

// Written out here as the design gives them, in twips.
constexpr int kClientWidth = 5355;
constexpr int kClientHeight = 3705;
constexpr RECT kPicture1{240, 480, 240 + 4890, 480 + 1125};
constexpr RECT kText4{2400, 3120, 2400 + 2175, 3120 + 495};
constexpr COLORREF kFormBackground = RGB(0xC0, 0xFF, 0xC0);

enum : int {
    kPicture1Id = 101,
    kText1Id = 105,
    kText2Id = 106,
    kText3Id = 107,
    kText4Id = 112,
    kLabel8Id = 113,
};

int Pixels(int twips, int dotsPerInch) {
    return (twips * dotsPerInch + 720) / 1440;
}

HWND FindForm() {
    return FindWindowW(L"KelvaroForm1", nullptr);
}

RECT ControlBox(HWND form, int id) {
    RECT box;
    GetWindowRect(GetDlgItem(form, id), &box);
    MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&box), 2);
    return box;
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

// The banner's thin dark frame runs along every edge of the box's inside: no
// strip of the box shows beside it, and none of it is cut.
void ExpectBannerFillsItsBox(HWND form, int dotsPerInch) {
    HWND picture = GetDlgItem(form, kPicture1Id);
    const Snapshot banner(picture, WM_PRINTCLIENT);
    EXPECT_EQ(banner.Width(),
              Pixels(kPicture1.right, dotsPerInch) - Pixels(kPicture1.left, dotsPerInch) - 4);
    EXPECT_EQ(banner.Height(),
              Pixels(kPicture1.bottom, dotsPerInch) - Pixels(kPicture1.top, dotsPerInch) - 4);
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

// The window laid out for the density: its client area, two controls, a font.
void ExpectLaidOutFor(HWND form, int dotsPerInch) {
    RECT client;
    GetClientRect(form, &client);
    EXPECT_EQ(client.right, Pixels(kClientWidth, dotsPerInch));
    EXPECT_EQ(client.bottom, Pixels(kClientHeight, dotsPerInch));
    for (const auto& [id, twips] : {std::pair{kPicture1Id, kPicture1}, {kText4Id, kText4}}) {
        const RECT expected{Pixels(twips.left, dotsPerInch), Pixels(twips.top, dotsPerInch),
                            Pixels(twips.right, dotsPerInch), Pixels(twips.bottom, dotsPerInch)};
        EXPECT_EQ(Describe(ControlBox(form, id)), Describe(expected))
            << "control " << id << " at " << dotsPerInch << " dpi";
    }
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(form, kText4Id), WM_GETFONT, 0, 0)),
               sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -static_cast<int>(21.75 * dotsPerInch / 72 + 0.5))
        << "Text4's 21.75-point font at " << dotsPerInch << " dpi";
}

class Form1WindowTest : public testing::Test {
  protected:
    kelvaro::win32::Form1Window form_{GetModuleHandleW(nullptr)};
    HWND window_ = FindForm();
};

TEST_F(Form1WindowTest, BannerFillsItsBox) {
    ExpectBannerFillsItsBox(window_, startDotsPerInch);
}

TEST_F(Form1WindowTest, LaysItselfOutAgainOnEachScreenDensity) {
    for (const int dotsPerInch : {96, 144, 120}) {
        RECT suggested{50, 40, 50 + 600, 40 + 450};
        SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(dotsPerInch, dotsPerInch),
                     reinterpret_cast<LPARAM>(&suggested));
        RECT frame;
        GetWindowRect(window_, &frame);
        EXPECT_EQ(frame.left, 50);
        EXPECT_EQ(frame.top, 40);
        ExpectLaidOutFor(window_, dotsPerInch);
        ExpectBannerFillsItsBox(window_, dotsPerInch);
    }
}

// Windows' and Wine's proxies name an edit after the label just before it.
TEST_F(Form1WindowTest, EditsAreNamedByTheirLabels) {
    const struct {
        int id;
        const wchar_t* name;
    } edits[] = {
        {kText1Id, L"请输入电压 U："},
        {kText2Id, L"请输入电流 I ："},
        {kText3Id, L"请输入相位角ψ："},
        {kText4Id, L"所求功率为："},
    };
    for (const auto& edit : edits) {
        IAccessible* accessible = nullptr;
        ASSERT_EQ(AccessibleObjectFromWindow(
                      GetDlgItem(window_, edit.id), static_cast<DWORD>(OBJID_CLIENT),
                      __uuidof(IAccessible), reinterpret_cast<void**>(&accessible)),
                  S_OK);
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        accessible->get_accName(self, &name);
        EXPECT_STREQ(name != nullptr ? name : L"(none)", edit.name) << "control " << edit.id;
        SysFreeString(name);
        accessible->Release();
    }
}

// Label8 comes before Text4 to name it, yet Text4 is drawn over it.
TEST_F(Form1WindowTest, Text4LiesAboveLabel8) {
    HWND label8 = GetDlgItem(window_, kLabel8Id);
    EXPECT_EQ(GetWindow(GetDlgItem(window_, kText4Id), GW_HWNDPREV), label8);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(label8, region), ERROR);
    const RECT label = ControlBox(window_, kLabel8Id);
    const RECT text4 = ControlBox(window_, kText4Id);
    EXPECT_FALSE(PtInRegion(region, text4.left - label.left, text4.top + 2 - label.top));
    EXPECT_TRUE(PtInRegion(region, text4.left - 2 - label.left, text4.top + 2 - label.top));
    DeleteObject(region);
}

BOOL CALLBACK ExpectFormBackground(HWND window, LPARAM forms) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (std::wstring(name) == L"KelvaroForm1") {
        ++*reinterpret_cast<int*>(forms);
        const Snapshot background(window, WM_ERASEBKGND);
        EXPECT_EQ(background.At(1, 1), kFormBackground);
    }
    return TRUE;
}

// The form's background brush belongs to each window alone.
TEST(Form1WindowsInOneProcess, EachPaintsItsOwnBackground) {
    auto first = std::make_unique<kelvaro::win32::Form1Window>(GetModuleHandleW(nullptr));
    kelvaro::win32::Form1Window second(GetModuleHandleW(nullptr));
    first.reset();
    kelvaro::win32::Form1Window third(GetModuleHandleW(nullptr));
    int forms = 0;
    EnumThreadWindows(GetCurrentThreadId(), ExpectFormBackground, reinterpret_cast<LPARAM>(&forms));
    EXPECT_EQ(forms, 2);
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
