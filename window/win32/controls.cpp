#include "window/win32/controls.h"

#include <commctrl.h>

#include <vector>

#include "window/win32/resource_ids.h"

namespace kelvaro::win32 {
namespace {

// Replaces the static control's painting; the reference data is the format
// the label's text is drawn with.
LRESULT CALLBACK LabelProcedure(HWND label, UINT message, WPARAM wParam, LPARAM lParam,
                                UINT_PTR /*subclass*/, DWORD_PTR format) {
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
            PAINTSTRUCT paint;
            HDC context = BeginPaint(label, &paint);
            RECT box;
            GetClientRect(label, &box);
            const auto background = reinterpret_cast<HBRUSH>(
                SendMessageW(GetParent(label), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(context),
                             reinterpret_cast<LPARAM>(label)));
            FillRect(context, &box, background);
            SetBkMode(context, TRANSPARENT);
            const auto font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
            const HGDIOBJ previousFont = SelectObject(context, font);
            std::vector<wchar_t> text(static_cast<std::size_t>(GetWindowTextLengthW(label)) + 1);
            GetWindowTextW(label, text.data(), static_cast<int>(text.size()));
            DrawTextW(context, text.data(), -1, &box, static_cast<UINT>(format));
            SelectObject(context, previousFont);
            EndPaint(label, &paint);
            return 0;
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(label, LabelProcedure, 0);
            break;
        default:
            break;
    }
    return DefSubclassProc(label, message, wParam, lParam);
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

// What a picture box holds, in its window's GWLP_USERDATA.
struct PictureBoxData {
    HINSTANCE instance;
    Picture picture;
    HBITMAP bitmap;
};

HBITMAP LoadPicture(HINSTANCE instance, Picture picture, int dotsPerInch) {
    if (picture != Picture::Banner) {
        return nullptr;
    }
    // A device-dependent bitmap: CreateDIBSection, which LR_CREATEDIBSECTION
    // would use, takes no run-length-encoded bitmaps on Windows.
    return static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(BannerFor(dotsPerInch)), IMAGE_BITMAP, 0, 0, 0));
}

// The picture fills the inside of the border, which follows twips while the
// renderings follow whole pixels: it is stretched where the two differ.
void PaintPicture(HWND box, HDC context, const PictureBoxData* data) {
    RECT client;
    GetClientRect(box, &client);
    BITMAP bitmap;
    if (data == nullptr || data->bitmap == nullptr ||
        GetObjectW(data->bitmap, sizeof bitmap, &bitmap) == 0) {
        FillRect(context, &client, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    HDC source = CreateCompatibleDC(context);
    const HGDIOBJ previous = SelectObject(source, data->bitmap);
    if (bitmap.bmWidth == client.right && bitmap.bmHeight == client.bottom) {
        BitBlt(context, 0, 0, client.right, client.bottom, source, 0, 0, SRCCOPY);
    } else {
        SetStretchBltMode(context, HALFTONE);
        SetBrushOrgEx(context, 0, 0, nullptr);
        StretchBlt(context, 0, 0, client.right, client.bottom, source, 0, 0, bitmap.bmWidth,
                   bitmap.bmHeight, SRCCOPY);
    }
    SelectObject(source, previous);
    DeleteDC(source);
}

LRESULT CALLBACK PictureBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* data = reinterpret_cast<PictureBoxData*>(GetWindowLongPtrW(box, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE: {
            // The box keeps a copy of what it is created with, from its first
            // message to its last.
            const auto* given = static_cast<const PictureBoxData*>(
                reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
            SetWindowLongPtrW(box, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(new PictureBoxData(*given)));
            break;
        }
        case WM_LBUTTONDOWN:
            SetFocus(box);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC context = BeginPaint(box, &paint);
            PaintPicture(box, context, data);
            EndPaint(box, &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            PaintPicture(box, reinterpret_cast<HDC>(wParam), data);
            return 0;
        case WM_NCDESTROY:
            if (data != nullptr) {
                DeleteObject(data->bitmap);
                delete data;
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(box, message, wParam, lParam);
}

}  // namespace

HWND CreateLabel(HWND parent, const ControlDesign& design) {
    HWND label = CreateWindowExW(0, L"STATIC", L"",
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_LEFT | SS_NOPREFIX, 0,
                                 0, 0, 0, parent, nullptr, nullptr, nullptr);
    if (label == nullptr) {
        return nullptr;
    }
    // DT_EDITCONTROL leaves out a last line that the box would cut.
    const UINT format = DT_LEFT | DT_NOPREFIX |
                        (design.sizedToContent ? DT_SINGLELINE : DT_WORDBREAK | DT_EDITCONTROL);
    SetWindowSubclass(label, LabelProcedure, 0, format);
    return label;
}

HWND CreatePictureBox(HWND parent, HINSTANCE instance, const ControlDesign& design) {
    WNDCLASSEXW pictureBox{};
    if (!GetClassInfoExW(instance, kPictureBoxClass, &pictureBox)) {
        pictureBox.cbSize = sizeof pictureBox;
        pictureBox.lpfnWndProc = PictureBoxProcedure;
        pictureBox.hInstance = instance;
        pictureBox.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        pictureBox.lpszClassName = kPictureBoxClass;
        if (RegisterClassExW(&pictureBox) == 0) {
            return nullptr;
        }
    }
    PictureBoxData data{instance, design.picture, nullptr};
    return CreateWindowExW(WS_EX_CLIENTEDGE, kPictureBoxClass, L"",
                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent,
                           nullptr, instance, &data);
}

void SetPictureDensity(HWND pictureBox, int dotsPerInch) {
    auto* data = reinterpret_cast<PictureBoxData*>(GetWindowLongPtrW(pictureBox, GWLP_USERDATA));
    DeleteObject(data->bitmap);
    data->bitmap = LoadPicture(data->instance, data->picture, dotsPerInch);
    InvalidateRect(pictureBox, nullptr, FALSE);
}

}  // namespace kelvaro::win32
