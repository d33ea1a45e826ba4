#include "window/win32/form1_window.h"

#include <oleacc.h>

#include "window/accessible_text.h"
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

// Windows 10's question for the frame size at a new density, which the
// headers show only to programs that require Windows 10.
constexpr UINT kGetDpiScaledSize = 0x02E4;

// Functions of Windows 10 that are looked up, so that the program still
// starts on older Windows.
template <class Function>
Function User32Function(const char* name) {
    const FARPROC address = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

// The density of the window's screen; the system's where Windows knows no
// other.
int DotsPerInch(HWND window) {
    static const auto getDpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (window != nullptr && getDpiForWindow != nullptr) {
        return static_cast<int>(getDpiForWindow(window));
    }
    HDC screen = GetDC(nullptr);
    const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dotsPerInch;
}

// The form's window class, registered once for the process: every Form1 of it
// shares the procedure, the icons and the background brush, which live as
// long as the process. Zero when Windows refuses it.
ATOM RegisterFormClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = procedure;
    form.hInstance = instance;
    form.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(KELVARO_ICON_GROUP));
    form.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(KELVARO_ICON_GROUP),
                                                 IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.hbrBackground = CreateSolidBrush(ColourRef(kForm1.background));
    form.lpszClassName = kFormClass;
    return RegisterClassExW(&form);
}

// What the taskbar and the docked bars leave of the primary screen, or the
// whole of it where the system does not say.
RECT WorkArea() {
    RECT area;
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) {
        area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return area;
}

}  // namespace

Form1Window::Form1Window(HINSTANCE instance, ScreenReaderServices screenReaders)
    : instance_(instance), dotsPerInch_(DotsPerInch(nullptr)), screenReaders_(screenReaders) {
    // Registered once: why it failed holds for every window after.
    static const ATOM formClass = RegisterFormClass(instance, WindowProcedure);
    static const DWORD classError = GetLastError();
    if (formClass == 0) {
        creationError_ = classError;
        return;
    }
    const SIZE frame = FrameSize(dotsPerInch_);
    const std::vector<wchar_t> caption = ToUtf16(kForm1.caption);
    window_ = CreateWindowExW(0, kFormClass, caption.data(), kFormStyle, CW_USEDEFAULT,
                              CW_USEDEFAULT, frame.cx, frame.cy, nullptr, nullptr, instance, this);
    if (window_ == nullptr) {
        creationError_ = GetLastError();
        return;
    }
    // Also as the window's own icons, which the taskbar and Alt+Tab ask for.
    SendMessageW(window_, WM_SETICON, ICON_BIG, GetClassLongPtrW(window_, GCLP_HICON));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, GetClassLongPtrW(window_, GCLP_HICONSM));
    // The window's own screen may be denser or sparser than the system's.
    dotsPerInch_ = DotsPerInch(window_);
    FitClientArea();
    if (!CreateControls()) {
        return;
    }
    announcer_.emplace(window_, screenReaders_);
    if (!announcer_->Created()) {
        creationError_ = GetLastError();
        return;
    }
    LayOut();
    NameControls(true);
    behavior_.Load();
    created_ = true;
}

Form1Window::~Form1Window() {
    if (IsWindow(window_)) {
        DestroyWindow(window_);
    }
    announcer_.reset();
    if (screenReaders_.annotations != nullptr) {
        screenReaders_.annotations->Release();
    }
    for (const FontEntry& entry : fonts_) {
        DeleteObject(entry.font);
    }
    for (HFONT font : fittedFonts_) {
        DeleteObject(font);
    }
    for (const BrushEntry& entry : brushes_) {
        DeleteObject(entry.brush);
    }
}

bool Form1Window::CreateControls() {
    // Creation order is the z-order, and the focus follows it among the
    // controls that take the focus.
    for (const ControlDesign& design : kForm1.controls) {
        HWND control = CreateControl(design);
        if (control == nullptr) {
            creationError_ = GetLastError();
            return false;
        }
        controls_[static_cast<std::size_t>(design.id)] = control;
    }
    return true;
}

HWND Form1Window::CreateControl(const ControlDesign& design) {
    // LayOut places and sizes them. Nothing is called after a refusal, which
    // leaves its reason for the caller.
    const std::vector<wchar_t> text = ToUtf16(design.text);
    HWND control = nullptr;
    switch (design.kind) {
        case ControlKind::Label:
            control = CreateLabel(window_, design);
            if (control != nullptr) {
                SetWindowTextW(control, text.data());
            }
            break;
        case ControlKind::PictureBox:
            control = CreatePictureBox(window_, instance_, design);
            break;
        case ControlKind::TextBox:
            control = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", text.data(), TextBoxStyle(design),
                                      0, 0, 0, 0, window_, nullptr, instance_, nullptr);
            break;
        case ControlKind::PushButton:
            // A plain push button: neither the default nor the cancel button.
            control = CreateWindowExW(
                0, L"BUTTON", text.data(),
                WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | BS_PUSHBUTTON, 0, 0, 0, 0,
                window_, nullptr, instance_, nullptr);
            break;
    }
    if (control != nullptr) {
        SetWindowLongPtrW(control, GWLP_ID, ControlIdentifier(design.id));
    }
    return control;
}

void Form1Window::LayOut() {
    const std::vector<FontEntry> previousFonts = std::move(fonts_);
    fonts_.clear();
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(Font(kForm1.defaultFont)), FALSE);
    for (const ControlDesign& design : kForm1.controls) {
        HWND control = Control(design.id);
        const PixelRect box = ToPixels(design.rect, dotsPerInch_);
        SetWindowPos(control, nullptr, box.left, box.top, box.width, box.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        const FontStyle& font = design.font ? *design.font : kForm1.defaultFont;
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font(font)), TRUE);
        if (design.kind == ControlKind::PictureBox) {
            SetPictureDensity(control, dotsPerInch_);
        }
    }
    CutLabelsUnderControls();
    for (const ControlDesign& design : kForm1.controls) {
        if (ShrinksToFit(design)) {
            FitText(design.id);
        }
    }
    for (const FontEntry& entry : previousFonts) {
        DeleteObject(entry.font);
    }
    InvalidateRect(window_, nullptr, TRUE);
}

// Text boxes, push buttons and the picture box lie above the labels. Since a
// label may come before them in the z-order, it is cut where they overlap it.
void Form1Window::CutLabelsUnderControls() {
    for (const ControlDesign& label : kForm1.controls) {
        if (label.kind != ControlKind::Label) {
            continue;
        }
        const PixelRect labelBox = ToPixels(label.rect, dotsPerInch_);
        HRGN region = CreateRectRgn(0, 0, labelBox.width, labelBox.height);
        for (const ControlDesign& above : kForm1.controls) {
            if (above.kind == ControlKind::Label) {
                continue;
            }
            const PixelRect box = ToPixels(above.rect, dotsPerInch_);
            HRGN cut = CreateRectRgn(box.left - labelBox.left, box.top - labelBox.top,
                                     box.Right() - labelBox.left, box.Bottom() - labelBox.top);
            CombineRgn(region, region, cut, RGN_DIFF);
            DeleteObject(cut);
        }
        // The window owns the region once it has taken it, and only then.
        if (!SetWindowRgn(Control(label.id), region, TRUE)) {
            DeleteObject(region);
        }
    }
}

// Screen readers ask for the annotations before anything of the control's
// own. Without the annotation service (no COM) they hear the controls' texts.
void Form1Window::NameControls(bool name) {
    IAccPropServices* annotations = screenReaders_.annotations;
    if (annotations == nullptr) {
        return;
    }
    for (const ControlDesign& design : kForm1.controls) {
        HWND control = Control(design.id);
        if (!name) {
            ClearAnnotations(annotations, control);
        } else if (design.namedBy || !design.accessibleName.empty()) {
            const long role = design.kind == ControlKind::PictureBox ? ROLE_SYSTEM_GRAPHIC : 0;
            Annotate(annotations, control, ToUtf16(AccessibleName(design, Text(design.id))).data(),
                     ToUtf16(AccessibleDescription(design)).data(), role);
        }
    }
    if (name) {
        AnnotateLiveRegion(annotations, announcer_->Window());
    } else {
        ClearAnnotations(annotations, announcer_->Window());
    }
}

// Sizes the frame so that the client area has its size in twips, whatever
// the frame's own metrics at the density.
void Form1Window::FitClientArea() {
    RECT frame;
    RECT client;
    GetWindowRect(window_, &frame);
    GetClientRect(window_, &client);
    const int width = frame.right - frame.left + Pixels(kForm1.clientWidth) - client.right;
    const int height = frame.bottom - frame.top + Pixels(kForm1.clientHeight) - client.bottom;
    SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE Form1Window::FrameSize(int dotsPerInch) const {
    static const auto adjustForDpi =
        User32Function<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, TwipsToPixels(kForm1.clientWidth, dotsPerInch),
               TwipsToPixels(kForm1.clientHeight, dotsPerInch)};
    if (adjustForDpi != nullptr) {
        adjustForDpi(&frame, kFormStyle, FALSE, 0, static_cast<UINT>(dotsPerInch));
    } else {
        AdjustWindowRectEx(&frame, kFormStyle, FALSE, 0);
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

// The room is the edit's formatting rectangle at the design's font: a smaller
// font's margins are no wider. A result is written rarely, so measuring each
// candidate size with a font of its own costs nothing felt.
void Form1Window::FitText(ControlId control) {
    const ControlDesign& design = Design(control);
    const FontStyle& style = design.font.value_or(kForm1.defaultFont);
    HWND box = Control(design.id);
    SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(Font(style)), FALSE);
    HFONT& fittedFont = fittedFonts_[static_cast<std::size_t>(control)];
    DeleteObject(fittedFont);
    fittedFont = nullptr;

    RECT room;
    SendMessageW(box, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&room));
    std::vector<wchar_t> text(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1);
    const int length = GetWindowTextW(box, text.data(), static_cast<int>(text.size()));
    HDC context = GetDC(box);
    const int designPixels = PointsToPixels(style.points, dotsPerInch_);
    const int pixels = LargestFittingSize(designPixels, room.right - room.left, [&](int candidate) {
        HFONT font = CreateFormFont(candidate, style.weight);
        const HGDIOBJ previous = SelectObject(context, font);
        SIZE extent{};
        GetTextExtentPoint32W(context, text.data(), length, &extent);
        SelectObject(context, previous);
        DeleteObject(font);
        return static_cast<int>(extent.cx);
    });
    ReleaseDC(box, context);
    if (pixels != designPixels) {
        fittedFont = CreateFormFont(pixels, style.weight);
        SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(fittedFont), FALSE);
    }
    InvalidateRect(box, nullptr, TRUE);
}

HFONT Form1Window::Font(const FontStyle& style) {
    for (const FontEntry& entry : fonts_) {
        if (entry.points == style.points && entry.weight == style.weight) {
            return entry.font;
        }
    }
    HFONT font = CreateFormFont(PointsToPixels(style.points, dotsPerInch_), style.weight);
    fonts_.push_back({style.points, style.weight, font});
    return font;
}

// The form's face at a character height in pixels.
HFONT Form1Window::CreateFormFont(int pixels, int weight) const {
    const std::vector<wchar_t> face = ToUtf16(kForm1.fontFamily);
    return CreateFontW(-pixels, 0, 0, 0, weight, FALSE, FALSE, FALSE, kFormCharset,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DrawnFromBitmaps(pixels) ? NONANTIALIASED_QUALITY : DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face.data());
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
    const RECT workArea = WorkArea();
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
        case WM_CTLCOLORSTATIC:  // labels, and a read-only edit
            return ControlColours(message, reinterpret_cast<HDC>(wParam),
                                  reinterpret_cast<HWND>(lParam));
        case kGetDpiScaledSize: {
            // The frame that gives the client area its size in twips.
            *reinterpret_cast<SIZE*>(lParam) = FrameSize(static_cast<int>(wParam));
            return TRUE;
        }
        case WM_DPICHANGED: {
            // Moved to a screen of another density: laid out again from twips,
            // in the frame Windows suggests.
            dotsPerInch_ = HIWORD(wParam);
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            FitClientArea();
            LayOut();
            return 0;
        }
        case WM_ACTIVATE:
            // Like a dialog: the focus returns where it was when the window
            // is activated again.
            if (LOWORD(wParam) == WA_INACTIVE) {
                focusBeforeDeactivation_ = GetFocus();
            } else if (focusBeforeDeactivation_ != nullptr) {
                SetFocus(focusBeforeDeactivation_);
            }
            return 0;
        case WM_CLOSE:
            // The close box, the window menu and Alt+F4 end the message loop
            // as Exit does; the window is destroyed afterwards with the object
            // that owns it, which ends nothing a second time.
            behavior_.Closed();
            return 0;
        case WM_DESTROY:
            if (created_) {
                NameControls(false);
            }
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

// The design's colours of the control, found by its identifier; a label shows
// the form's background, and its own colour or else kLabelText, never the
// system's text colour, which is meant for the system's own ground.
LRESULT Form1Window::ControlColours(UINT message, HDC context, HWND control) {
    const int index = GetDlgCtrlID(control) - kFirstControlId;
    if (index < 0 || index >= static_cast<int>(kControlCount)) {
        return DefWindowProcW(window_, message, reinterpret_cast<WPARAM>(context),
                              reinterpret_cast<LPARAM>(control));
    }
    const ControlDesign& design = kForm1.controls[static_cast<std::size_t>(index)];
    const bool label = design.kind == ControlKind::Label;
    if (!label && !design.textColour && !design.backColour) {
        return DefWindowProcW(window_, message, reinterpret_cast<WPARAM>(context),
                              reinterpret_cast<LPARAM>(control));
    }
    SetTextColor(context, design.textColour ? ColourRef(*design.textColour)
                          : label           ? ColourRef(kLabelText)
                                            : GetSysColor(COLOR_WINDOWTEXT));
    const Rgb back = label ? kForm1.background : design.backColour.value_or(Rgb{0xFFFFFF});
    SetBkColor(context, ColourRef(back));
    return reinterpret_cast<LRESULT>(Brush(back));
}

std::string Form1Window::Text(ControlId id) const {
    HWND control = Control(id);
    std::vector<wchar_t> text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1);
    const int length = GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
    return ToUtf8(text.data(), length);
}

void Form1Window::SetText(ControlId control, std::string_view text) {
    const ControlDesign& design = Design(control);
    SetWindowTextW(Control(control), ToUtf16(text).data());
    if (ShrinksToFit(design)) {
        FitText(control);
    }
    // A label's name carries the value it shows; Windows tells screen readers
    // of a changed annotation only when asked.
    if (design.kind == ControlKind::Label && design.namedBy && screenReaders_.annotations) {
        Annotate(screenReaders_.annotations, Control(control),
                 ToUtf16(AccessibleName(design, text)).data(), L"");
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, Control(control), OBJID_CLIENT, CHILDID_SELF);
    }
}

void Form1Window::Announce(std::string_view text) {
    announcer_->Announce(ToUtf16(text).data());
}

void Form1Window::ShowMessage(std::string_view text) {
    MessageBoxW(window_, ToUtf16(text).data(), ToUtf16(kForm1.applicationTitle).data(), MB_OK);
}

void Form1Window::EndProgram() {
    PostQuitMessage(0);
}

}  // namespace kelvaro::win32
