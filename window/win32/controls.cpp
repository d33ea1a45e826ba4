#include "window/win32/controls.h"

#include <vector>

#include "window/win32/resource_ids.h"

namespace kelvaro::win32 {
namespace {

// The system's static control, whose painting a label replaces.
WNDPROC staticProcedure = nullptr;

LRESULT CALLBACK LabelProcedure(HWND label, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_SETTEXT: {
            // Only store the text: the system control would draw it itself.
            const LRESULT result = DefWindowProcW(label, message, wParam, lParam);
            InvalidateRect(label, nullptr, TRUE);
            return result;
        }
        case WM_PAINT: {
            const auto* design =
                reinterpret_cast<const ControlDesign*>(GetWindowLongPtrW(label, GWLP_USERDATA));
            PAINTSTRUCT paint;
            HDC context = BeginPaint(label, &paint);
            RECT box;
            GetClientRect(label, &box);
            // Labels lie on the bare form: its colour is what shows through.
            FillRect(
                context, &box,
                reinterpret_cast<HBRUSH>(GetClassLongPtrW(GetParent(label), GCLP_HBRBACKGROUND)));
            SetBkMode(context, TRANSPARENT);
            SetTextColor(context, design->textColour ? ColourRef(*design->textColour)
                                                     : GetSysColor(COLOR_WINDOWTEXT));
            const auto font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
            const HGDIOBJ previousFont = SelectObject(context, font);
            std::vector<wchar_t> text(static_cast<std::size_t>(GetWindowTextLengthW(label)) + 1);
            GetWindowTextW(label, text.data(), static_cast<int>(text.size()));
            // DT_EDITCONTROL leaves out a last line that the box would cut.
            const UINT format =
                DT_LEFT | DT_NOPREFIX |
                (design->sizedToContent ? DT_SINGLELINE : DT_WORDBREAK | DT_EDITCONTROL);
            DrawTextW(context, text.data(), -1, &box, format);
            SelectObject(context, previousFont);
            EndPaint(label, &paint);
            return 0;
        }
        default:
            return CallWindowProcW(staticProcedure, label, message, wParam, lParam);
    }
}

constexpr const wchar_t* kPictureBoxClass = L"KelvaroPictureBox";

// The picture at the densities it was rendered for, best first.
struct RenderedPicture {
    int dotsPerInch;
    int resource;
};
constexpr RenderedPicture kBanners[] = {
    {144, KELVARO_BANNER_144_DPI},
    {120, KELVARO_BANNER_120_DPI},
    {96, KELVARO_BANNER_96_DPI},
};

// The rendering made for the density, or the densest one below it.
int BannerFor(int dotsPerInch) {
    for (const RenderedPicture& banner : kBanners) {
        if (banner.dotsPerInch <= dotsPerInch) {
            return banner.resource;
        }
    }
    return KELVARO_BANNER_96_DPI;
}

struct PictureBoxData {
    HBITMAP picture;
    SIZE size;  // the picture's size at the screen's density
};

LRESULT CALLBACK PictureBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* data = reinterpret_cast<PictureBoxData*>(GetWindowLongPtrW(box, GWLP_USERDATA));
    switch (message) {
        case WM_LBUTTONDOWN:
            SetFocus(box);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC context = BeginPaint(box, &paint);
            RECT client;
            GetClientRect(box, &client);
            FillRect(context, &client, GetSysColorBrush(COLOR_BTNFACE));
            if (data != nullptr && data->picture != nullptr) {
                HDC source = CreateCompatibleDC(context);
                const HGDIOBJ previous = SelectObject(source, data->picture);
                BITMAP bitmap;
                GetObjectW(data->picture, sizeof bitmap, &bitmap);
                if (bitmap.bmWidth == data->size.cx && bitmap.bmHeight == data->size.cy) {
                    BitBlt(context, 0, 0, bitmap.bmWidth, bitmap.bmHeight, source, 0, 0, SRCCOPY);
                } else {
                    SetStretchBltMode(context, HALFTONE);
                    SetBrushOrgEx(context, 0, 0, nullptr);
                    StretchBlt(context, 0, 0, data->size.cx, data->size.cy, source, 0, 0,
                               bitmap.bmWidth, bitmap.bmHeight, SRCCOPY);
                }
                SelectObject(source, previous);
                DeleteDC(source);
            }
            EndPaint(box, &paint);
            return 0;
        }
        case WM_NCDESTROY:
            if (data != nullptr) {
                DeleteObject(data->picture);
                delete data;
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(box, message, wParam, lParam);
}

}  // namespace

HWND CreateLabel(HWND parent, const ControlDesign& design, RECT box) {
    HWND label = CreateWindowExW(0, L"STATIC", L"",
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_LEFT | SS_NOPREFIX,
                                 box.left, box.top, box.right - box.left, box.bottom - box.top,
                                 parent, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(label, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&design));
    staticProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LabelProcedure)));
    return label;
}

HWND CreatePictureBox(HWND parent, HINSTANCE instance, const ControlDesign& design, RECT box,
                      int dotsPerInch) {
    static const ATOM registered = [instance] {
        WNDCLASSEXW pictureBox{};
        pictureBox.cbSize = sizeof pictureBox;
        pictureBox.lpfnWndProc = PictureBoxProcedure;
        pictureBox.hInstance = instance;
        pictureBox.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        pictureBox.lpszClassName = kPictureBoxClass;
        return RegisterClassExW(&pictureBox);
    }();
    (void)registered;
    HWND picture = CreateWindowExW(WS_EX_CLIENTEDGE, kPictureBoxClass, L"",
                                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, box.left,
                                   box.top, box.right - box.left, box.bottom - box.top, parent,
                                   nullptr, instance, nullptr);
    auto* data = new PictureBoxData{};
    if (design.picture == Picture::Banner) {
        data->picture =
            static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(BannerFor(dotsPerInch)),
                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        // The box was fitted to the picture and its border at the design's density.
        const int border = 2 * kForm1.pictureBorderPixels;
        data->size = {MulDiv(TwipsToPixels(design.rect.width, kDesignDotsPerInch) - border,
                             dotsPerInch, kDesignDotsPerInch),
                      MulDiv(TwipsToPixels(design.rect.height, kDesignDotsPerInch) - border,
                             dotsPerInch, kDesignDotsPerInch)};
    }
    SetWindowLongPtrW(picture, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
    return picture;
}

}  // namespace kelvaro::win32
