// The fonts Form1's controls carry, checked in the window's own process: a
// font handle means nothing in another one.
// Usage: form1_fonts_test IGNORED DOTS_PER_INCH
#include <windows.h>

#include <charconv>
#include <cstdio>
#include <cwchar>
#include <string>

#include "expected_form1.h"
#include "wide_text.h"
#include "window/win32/form1_window.h"

using kelvaro::expected::kControls;
using kelvaro::expected::Kind;

namespace {

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
    const std::wstring family = Wide(kelvaro::expected::kFontFamily);
    int passed = 0;
    int failed = 0;
    for (int i = 0; i < static_cast<int>(std::size(kControls)); ++i) {
        const auto& expected = kControls[i];
        // The picture box draws no text.
        if (expected.kind == Kind::Picture) {
            continue;
        }
        LOGFONTW font{};
        HWND control = GetDlgItem(window, 100 + i);
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        const int height = PixelHeight(expected.points, dotsPerInch);
        const bool right = font.lfFaceName == family &&
                           font.lfCharSet == kelvaro::expected::kGb2312Charset &&
                           font.lfWeight == (expected.bold ? FW_BOLD : FW_NORMAL) && height != 0 &&
                           font.lfHeight == -height;
        if (right) {
            ++passed;
        } else {
            ++failed;
            std::printf("FAIL: font of %s: %ls, charset %d, height %ld (%d expected), weight %ld\n",
                        expected.name, font.lfFaceName, font.lfCharSet, font.lfHeight, -height,
                        font.lfWeight);
        }
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
