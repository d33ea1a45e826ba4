#include "window/win32/form1_window.h"

#include "window/win32/controls.h"
#include "window/win32/resource_ids.h"
#include "window/win32/utf16.h"

namespace kelvaro::win32 {
namespace {

constexpr const wchar_t* kFormClass = L"KelvaroForm1";

// Child window identifiers: the control's place in the table, offset so that
// none is IDOK or IDCANCEL, which the dialog keys send.
constexpr int kFirstControlId = 100;

int ControlIdentifier(ControlId id) {
    return kFirstControlId + static_cast<int>(id);
}

// A fixed frame with a close box and a window menu only.
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

// The character set the window's face holds its Chinese texts in.
constexpr BYTE kFormCharset = GB2312_CHARSET;

DWORD TextBoxStyle(const ControlDesign& design) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | ES_AUTOHSCROLL;
    switch (design.alignment) {
        case Alignment::Left:
            style |= ES_LEFT;
            break;
        case Alignment::Centre:
            style |= ES_CENTER;
            break;
        case Alignment::Right:
            style |= ES_RIGHT;
            break;
    }
    if (design.readOnly) {
        style |= ES_READONLY;
    }
    return style;
}

int ScreenDotsPerInch() {
    HDC screen = GetDC(nullptr);
    const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dotsPerInch;
}

}  // namespace

Form1Window::Form1Window(HINSTANCE instance)
    : instance_(instance), dotsPerInch_(ScreenDotsPerInch()) {
    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = WindowProcedure;
    form.hInstance = instance;
    form.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(KELVARO_ICON_GROUP));
    form.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(KELVARO_ICON_GROUP),
                                                 IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), 0));
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.hbrBackground = Brush(kForm1.background);
    form.lpszClassName = kFormClass;
    RegisterClassExW(&form);

    RECT frame{0, 0, Pixels(kForm1.clientWidth), Pixels(kForm1.clientHeight)};
    AdjustWindowRectEx(&frame, kFormStyle, FALSE, 0);
    const std::vector<wchar_t> caption = ToUtf16(kForm1.caption);
    CreateWindowExW(0, kFormClass, caption.data(), kFormStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                    this);
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(Font(kForm1.defaultFont)), FALSE);
    // Also as the window's own icons, which the taskbar and Alt+Tab ask for.
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(form.hIcon));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(form.hIconSm));
    CreateControls();
    behavior_.Load();
}

Form1Window::~Form1Window() {
    if (IsWindow(window_)) {
        DestroyWindow(window_);
    }
    for (const FontEntry& entry : fonts_) {
        DeleteObject(entry.font);
    }
    for (const BrushEntry& entry : brushes_) {
        DeleteObject(entry.brush);
    }
}

void Form1Window::CreateControls() {
    for (const ControlDesign& design : kForm1.controls) {
        HWND control = CreateControl(design);
        controls_[static_cast<std::size_t>(design.id)] = control;
        SetWindowLongPtrW(control, GWLP_ID, ControlIdentifier(design.id));
        const FontStyle& font = design.font ? *design.font : kForm1.defaultFont;
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font(font)), FALSE);
    }
    // Every other kind of control lies above the labels. The focus follows the
    // order of the others, which this keeps.
    for (const ControlDesign& design : kForm1.controls) {
        if (!TakesFocus(design.kind)) {
            SetWindowPos(Control(design.id), HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
}

HWND Form1Window::CreateControl(const ControlDesign& design) {
    const PixelRect pixels = ToPixels(design.rect, dotsPerInch_);
    const RECT box{pixels.left, pixels.top, pixels.Right(), pixels.Bottom()};
    const std::vector<wchar_t> text = ToUtf16(design.text);
    HWND control = nullptr;
    switch (design.kind) {
        case ControlKind::Label:
            control = CreateLabel(window_, design, box);
            SetWindowTextW(control, text.data());
            return control;
        case ControlKind::PictureBox:
            return CreatePictureBox(window_, instance_, design, box, dotsPerInch_);
        case ControlKind::TextBox:
            control = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", text.data(), TextBoxStyle(design),
                                      box.left, box.top, box.right - box.left, box.bottom - box.top,
                                      window_, nullptr, instance_, nullptr);
            break;
        case ControlKind::PushButton:
            // A plain push button: neither the default nor the cancel button.
            control = CreateWindowExW(
                0, L"BUTTON", text.data(),
                WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | BS_PUSHBUTTON, box.left,
                box.top, box.right - box.left, box.bottom - box.top, window_, nullptr, instance_,
                nullptr);
            break;
    }
    SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&design));
    return control;
}

HFONT Form1Window::Font(const FontStyle& style) {
    for (const FontEntry& entry : fonts_) {
        if (entry.points == style.points && entry.weight == style.weight) {
            return entry.font;
        }
    }
    const std::vector<wchar_t> face = ToUtf16(kForm1.fontFamily);
    HFONT font = CreateFontW(
        -PointsToPixels(style.points, dotsPerInch_), 0, 0, 0, style.weight, FALSE, FALSE, FALSE,
        kFormCharset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
        DrawnFromBitmaps(style, dotsPerInch_) ? NONANTIALIASED_QUALITY : DEFAULT_QUALITY,
        DEFAULT_PITCH | FF_DONTCARE, face.data());
    fonts_.push_back({style.points, style.weight, font});
    return font;
}

HBRUSH Form1Window::Brush(Rgb colour) {
    for (const BrushEntry& entry : brushes_) {
        if (entry.colour == colour.value) {
            return entry.brush;
        }
    }
    HBRUSH brush = CreateSolidBrush(ColourRef(colour));
    brushes_.push_back({colour.value, brush});
    return brush;
}

void Form1Window::Show(int showCommand) {
    RECT frame;
    GetWindowRect(window_, &frame);
    RECT workArea;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(window_, nullptr, workArea.left + (workArea.right - workArea.left - width) / 2,
                 workArea.top + (workArea.bottom - workArea.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    for (const ControlDesign& design : kForm1.controls) {
        if (TakesFocus(design.kind)) {
            SetFocus(Control(design.id));
            break;
        }
    }
}

bool Form1Window::HandleNavigation(MSG& message) {
    return IsDialogMessageW(window_, &message) != FALSE;
}

LRESULT CALLBACK Form1Window::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form =
            static_cast<Form1Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form1Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return form->HandleMessage(message, wParam, lParam);
}

LRESULT Form1Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                if (LOWORD(wParam) == ControlIdentifier(ControlId::Command1)) {
                    behavior_.Command1Click();
                } else if (LOWORD(wParam) == ControlIdentifier(ControlId::Command2)) {
                    behavior_.Command2Click();
                }
            }
            return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:  // a read-only edit asks this
            return ControlColours(message, reinterpret_cast<HDC>(wParam),
                                  reinterpret_cast<HWND>(lParam));
        case WM_ACTIVATE:
            // Like a dialog: the focus returns where it was when the window
            // is activated again.
            if (LOWORD(wParam) == WA_INACTIVE) {
                focusBeforeDeactivation_ = GetFocus();
            } else if (focusBeforeDeactivation_ != nullptr) {
                SetFocus(focusBeforeDeactivation_);
            }
            return 0;
        case WM_DESTROY:
            behavior_.Closed();
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

LRESULT Form1Window::ControlColours(UINT message, HDC context, HWND control) {
    const auto* design =
        reinterpret_cast<const ControlDesign*>(GetWindowLongPtrW(control, GWLP_USERDATA));
    if (design == nullptr || (!design->textColour && !design->backColour)) {
        return DefWindowProcW(window_, message, reinterpret_cast<WPARAM>(context),
                              reinterpret_cast<LPARAM>(control));
    }
    SetTextColor(context, design->textColour ? ColourRef(*design->textColour)
                                             : GetSysColor(COLOR_WINDOWTEXT));
    const Rgb back = design->backColour.value_or(Rgb{0xFFFFFF});
    SetBkColor(context, ColourRef(back));
    return reinterpret_cast<LRESULT>(Brush(back));
}

std::string Form1Window::Text(ControlId textBox) const {
    HWND control = Control(textBox);
    std::vector<wchar_t> text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1);
    const int length = GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
    return ToUtf8(text.data(), length);
}

void Form1Window::SetText(ControlId control, std::string_view text) {
    SetWindowTextW(Control(control), ToUtf16(text).data());
}

void Form1Window::ShowMessage(std::string_view text) {
    MessageBoxW(window_, ToUtf16(text).data(), ToUtf16(kForm1.applicationTitle).data(), MB_OK);
}

void Form1Window::EndProgram() {
    PostQuitMessage(0);
}

}  // namespace kelvaro::win32
