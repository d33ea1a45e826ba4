#include "window/qt/form1_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

#include "window/accessible_text.h"
#include "window/form_rendering.h"
#include "window/qt/compositor_sizes.h"
#include "window/qt/fitting_text_box.h"
#include "window/qt/form_label.h"
#include "window/qt/picture_box.h"
#include "window/qt/qt_text.h"

namespace kelvaro::qt {
namespace {

// Qt scales logical pixels on high-DPI screens, and sizes fonts at the
// screen's logical dots per inch: 96 wherever Qt scales, more where fonts
// follow a larger font DPI while Qt does not scale (or rounds the scale
// down). The controls are placed at that same density, so that every text
// keeps the room the design gives it.
int LayoutDotsPerInch(const QScreen* screen) {
    return screen != nullptr ? qRound(screen->logicalDotsPerInchY()) : kDesignDotsPerInch;
}

QRect Geometry(const TwipRect& rect, int dotsPerInch) {
    const PixelRect pixels = ToPixels(rect, dotsPerInch);
    return {pixels.left, pixels.top, pixels.width, pixels.height};
}

QColor Colour(Rgb rgb) {
    return QColor(rgb.Red(), rgb.Green(), rgb.Blue());
}

Qt::Alignment QtAlignment(Alignment alignment) {
    switch (alignment) {
        case Alignment::Left:
            return Qt::AlignLeft | Qt::AlignVCenter;
        case Alignment::Centre:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        case Alignment::Right:
            return Qt::AlignRight | Qt::AlignVCenter;
    }
    return Qt::AlignLeft;
}

QString PictureFile(Picture picture) {
    switch (picture) {
        case Picture::Banner:
            return QStringLiteral(":/kelvaro/banner");
        case Picture::None:
            break;
    }
    return {};
}

// fontconfig knows the window's face by its Latin name too. Where the face is
// missing, Debian's Ming face of the same design stands in; fontconfig alone
// would pick a face without Chinese glyphs.
constexpr const char* kLatinFamily = "SimSun";
constexpr const char* kFallbackFamily = "AR PL UMing CN";

// The one button of a message box: Chinese like the rest of the window,
// whatever the locale or the translations installed.
constexpr std::string_view kMessageButton = "确定";

QStringList FormFamilies() {
    return {ToQString(kForm1.fontFamily), kLatinFamily, kFallbackFamily};
}

// A control whose texts the window's face holds in full needs no other face.
// Not looking for fallback faces saves a good part of the start-up.
QFont WithoutFallbackFaces(const QFont& font) {
    QFont single = font;
    single.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::NoFontMerging));
    return FormFamilies().contains(QFontInfo(single).family()) ? single : font;
}

}  // namespace

int DevicePixelsPerInch(const QScreen* screen) {
    return screen != nullptr ? qRound(screen->logicalDotsPerInchY() * screen->devicePixelRatio())
                             : kDesignDotsPerInch;
}

QFont FormFont(const FontStyle& style, int devicePixelsPerInch) {
    QFont font;
    font.setFamilies(FormFamilies());
    font.setPointSizeF(style.points);
    font.setWeight(static_cast<QFont::Weight>(style.weight));
    // Qt draws a face's bitmaps only when not anti-aliasing; at sizes that
    // have none, outlines without anti-aliasing are jagged and lose their bold.
    // Set either way: a new QFont carries the application font's strategy.
    font.setStyleStrategy(DrawnFromBitmaps(style, devicePixelsPerInch) ? QFont::NoAntialias
                                                                       : QFont::PreferAntialias);
    return font;
}

Form1Window::Form1Window(QWidget* parent) : QWidget(parent) {
    InstallAccessibleRoles();
    setObjectName(ToQString(kForm1.name));
    setWindowTitle(ToQString(kForm1.caption));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    layoutDotsPerInch_ = LayoutDotsPerInch(screen());
    devicePixelsPerInch_ = DevicePixelsPerInch(screen());
    setFixedSize(TwipsToPixels(kForm1.clientWidth, layoutDotsPerInch_),
                 TwipsToPixels(kForm1.clientHeight, layoutDotsPerInch_));
    setFont(FormFont(kForm1.defaultFont, devicePixelsPerInch_));
    QPalette background = palette();
    background.setColor(QPalette::Window, Colour(kForm1.background));
    setPalette(background);
    setAutoFillBackground(true);

    for (const ControlDesign& design : kForm1.controls) {
        controls_[static_cast<std::size_t>(design.id)] = CreateControl(design);
    }
    // The focus visits the controls in the table's order, and starts at the first.
    QWidget* previous = nullptr;
    for (const ControlDesign& design : kForm1.controls) {
        QWidget* control = Control(design.id);
        if (TakesFocus(design.kind)) {
            if (design.namedBy) {
                static_cast<QLabel*>(Control(*design.namedBy))->setBuddy(control);
            }
            if (previous == nullptr) {
                control->setFocus();
            } else {
                setTabOrder(previous, control);
            }
            previous = control;
        } else {
            // Every other kind of control lies above the labels.
            control->lower();
        }
    }
    connect(static_cast<QPushButton*>(Control(ControlId::Command1)), &QPushButton::clicked, this,
            [this] { behavior_.Command1Click(); });
    connect(static_cast<QPushButton*>(Control(ControlId::Command2)), &QPushButton::clicked, this,
            [this] { behavior_.Command2Click(); });
    behavior_.Load();
}

QWidget* Form1Window::CreateControl(const ControlDesign& design) {
    const QString text = ToQString(design.text);
    QWidget* control = nullptr;
    switch (design.kind) {
        case ControlKind::Label:
            control = new FormLabel(text, design.sizedToContent, this);
            break;
        case ControlKind::PictureBox:
            control = new PictureBox(PictureFile(design.picture), this);
            break;
        case ControlKind::TextBox: {
            auto* box = ShrinksToFit(design) ? new FittingTextBox(this) : new QLineEdit(this);
            box->setText(text);
            box->setAlignment(QtAlignment(design.alignment));
            box->setReadOnly(design.readOnly);
            control = box;
            break;
        }
        case ControlKind::PushButton: {
            auto* button = new QPushButton(text, this);
            button->setAutoDefault(false);
            button->setDefault(false);
            control = button;
            break;
        }
    }
    control->setObjectName(ToQString(design.name));
    control->setGeometry(Geometry(design.rect, layoutDotsPerInch_));
    if (design.font) {
        // Controls with a font of their own show the design's captions, or
        // the power's digits: never text the user typed.
        control->setFont(WithoutFallbackFaces(FormFont(*design.font, devicePixelsPerInch_)));
    }
    QPalette colours = control->palette();
    if (design.textColour) {
        colours.setColor(QPalette::WindowText, Colour(*design.textColour));
        colours.setColor(QPalette::Text, Colour(*design.textColour));
    } else if (design.kind == ControlKind::Label) {
        colours.setColor(QPalette::WindowText, Colour(kLabelText));
    }
    if (design.backColour) {
        colours.setColor(QPalette::Base, Colour(*design.backColour));
    }
    control->setPalette(colours);
    control->setAccessibleName(ToQString(AccessibleName(design, design.text)));
    control->setAccessibleDescription(ToQString(AccessibleDescription(design)));
    control->setFocusPolicy(TakesFocus(design.kind) ? Qt::StrongFocus : Qt::NoFocus);
    return control;
}

void Form1Window::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        CentreOnScreen(windowHandle()->frameMargins());
    }
}

// A window manager frames the window only as it maps it, and tells how in
// X events that reach no widget handler. After each, once Qt has taken it in
// (its frame margins are read anew after a configure notify), the window is
// centred again, the first time it has a frame.
bool Form1Window::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    constexpr quint8 kReparentNotify = 21;
    constexpr quint8 kConfigureNotify = 22;
    constexpr quint8 kPropertyNotify = 28;
    if (!centredInFrame_ && eventType == "xcb_generic_event_t") {
        const quint8 type = *static_cast<const quint8*>(message) & 0x7f;
        if (type == kReparentNotify || type == kConfigureNotify || type == kPropertyNotify) {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    const QMargins frame = windowHandle()->frameMargins();
                    if (!centredInFrame_ && !frame.isNull()) {
                        centredInFrame_ = true;
                        CentreOnScreen(frame);
                    }
                },
                Qt::QueuedConnection);
        }
    }
    return QWidget::nativeEvent(eventType, message, result);
}

void Form1Window::closeEvent(QCloseEvent* event) {
    event->accept();
    behavior_.Closed();
}

// Labels, text boxes and buttons all keep their text in Qt's "text" property.
std::string Form1Window::Text(ControlId control) const {
    return ToUtf8(Control(control)->property("text").toString());
}

void Form1Window::SetText(ControlId control, std::string_view text) {
    QWidget* widget = Control(control);
    const bool isTextProperty = widget->setProperty("text", ToQString(text));
    Q_ASSERT(isTextProperty);
    Q_UNUSED(isTextProperty);
    // A label's name carries the value it shows.
    if (Design(control).kind == ControlKind::Label) {
        widget->setAccessibleName(ToQString(AccessibleName(Design(control), text)));
    }
}

void Form1Window::Announce(std::string_view text) {
    announcer_.Announce(ToQString(text));
}

void Form1Window::ShowMessage(std::string_view text) {
    QMessageBox box(QMessageBox::NoIcon, ToQString(kForm1.applicationTitle), ToQString(text),
                    QMessageBox::Ok, this);
    box.button(QMessageBox::Ok)->setText(ToQString(kMessageButton));
    FitTitleBar(box);
    box.exec();
}

void Form1Window::EndProgram() {
    QCoreApplication::exit(0);
}

void Form1Window::CentreOnScreen(const QMargins& frame) {
    const QScreen* screen = this->screen();
    if (screen == nullptr) {
        return;
    }
    QRect framed = QRect(QPoint(), size()).marginsAdded(frame);
    framed.moveCenter(screen->availableGeometry().center());
    windowHandle()->setPosition(framed.topLeft() + QPoint(frame.left(), frame.top()));
}

}  // namespace kelvaro::qt
