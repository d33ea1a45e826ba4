// The fonts Form1's controls carry, checked in the window's own process: a
// font handle means nothing in another one.
// Usage: form1_fonts_test IGNORED DOTS_PER_INCH
#include <windows.h>

#include <charconv>
#include <cstdio>
#include <cwchar>
#include <string>

#include "window/win32/form1_window.h"

namespace {

// Each control's font as the window's table gives it, in identifier order
// (100, 101, …); 0 points: the window's 9-point default; the picture box
// shows no text.
struct ExpectedFont {
    const char* name;
    double points;
    int weight;
};

constexpr ExpectedFont kFonts[] = {
    {"Label1", 14.25, 700}, {"Picture1", -1, 0},    {"Label2", 10.5, 700},  {"Label3", 10.5, 700},
    {"Label4", 10.5, 700},  {"Text1", 0, 400},      {"Text2", 0, 400},      {"Text3", 0, 400},
    {"Label5", 12, 400},    {"Label6", 12, 400},    {"Label7", 10.5, 400},  {"Command1", 12, 400},
    {"Text4", 21.75, 400},  {"Label8", 21.75, 400}, {"Label9", 21.75, 400}, {"Command2", 12, 400},
    {"Label10", 10.5, 400}, {"Label11", 10.5, 700},
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::printf("usage: form1_fonts_test IGNORED DOTS_PER_INCH\n");
        return 2;
    }
    const std::string dpiText(argv[2], argv[2] + std::wcslen(argv[2]));
    int dotsPerInch = 0;
    std::from_chars(dpiText.data(), dpiText.data() + dpiText.size(), dotsPerInch);

    kelvaro::win32::Form1Window form(GetModuleHandleW(nullptr));
    HWND window = FindWindowW(L"KelvaroForm1", nullptr);
    int passed = 0;
    int failed = 0;
    for (int i = 0; i < static_cast<int>(std::size(kFonts)); ++i) {
        const ExpectedFont& expected = kFonts[i];
        if (expected.points < 0) {
            continue;
        }
        LOGFONTW font{};
        HWND control = GetDlgItem(window, 100 + i);
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        const double points = expected.points != 0 ? expected.points : 9;
        const bool right = std::wstring(font.lfFaceName) == L"宋体" &&
                           font.lfCharSet == GB2312_CHARSET && font.lfWeight == expected.weight &&
                           font.lfHeight == -static_cast<int>(points * dotsPerInch / 72 + 0.5);
        if (right) {
            ++passed;
        } else {
            ++failed;
            std::printf("FAIL: font of %s: %ls, charset %d, height %ld, weight %ld\n",
                        expected.name, font.lfFaceName, font.lfCharSet, font.lfHeight,
                        font.lfWeight);
        }
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
