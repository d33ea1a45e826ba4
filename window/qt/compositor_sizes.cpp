#include "window/qt/compositor_sizes.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QWidget>
#include <QWindow>

namespace kelvaro::qt {
namespace {

constexpr Qt::WindowStates kCompositorSized = Qt::WindowMaximized | Qt::WindowFullScreen;

// The property that holds where a fixed-size window last stood at its size.
constexpr const char* kPlacedAt = "kelvaroPlacedAt";

// Qt's own title bar centres the title on the whole bar and keeps about this
// much on the right for its three buttons, in a font of this pixel size.
constexpr int kTitleBarButtonsWidth = 80;
constexpr int kTitlePixels = 14;

bool IsFixedSize(const QWidget& widget) {
    return widget.minimumSize() == widget.maximumSize();
}

// The size the window system gave the window last: a widget learns a new
// position before its new size, so a move to full screen's corner still
// finds the widget at its own size.
QSize WindowSize(const QWidget& widget) {
    const QWindow* window = widget.windowHandle();
    return window != nullptr ? window->size() : widget.size();
}

// Back at the window's own size and, on X11, where it last stood at that size.
void ReturnToOwnSize(QWidget& widget) {
    widget.resize(widget.minimumSize());
    if (const QVariant placed = widget.property(kPlacedAt); placed.isValid() && !OnWayland()) {
        widget.move(placed.toPoint());
    }
}

class FixedSizeKeeper : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!watched->isWidgetType()) {
            return false;
        }
        auto* widget = static_cast<QWidget*>(watched);
        if (!widget->isWindow()) {
            return false;
        }
        switch (event->type()) {
            case QEvent::Show:
                // Queued: the widget's own show handling may fix its size
                // only now (a message box does). The widget keeps its limits;
                // only its Wayland surface may grow, to obey a maximised
                // configure.
                if (!OnWayland()) {
                    break;
                }
                QMetaObject::invokeMethod(
                    widget,
                    [widget] {
                        if (QWindow* window = widget->windowHandle();
                            window && IsFixedSize(*widget)) {
                            window->setMaximumSize(QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
                        }
                    },
                    Qt::QueuedConnection);
                break;
            case QEvent::WindowStateChange:
                if (IsFixedSize(*widget) && (widget->windowState() & kCompositorSized)) {
                    QMetaObject::invokeMethod(
                        widget,
                        [widget] {
                            widget->setWindowState(widget->windowState() & ~kCompositorSized);
                            // An X11 window manager may leave the window at
                            // the state's size or corner: asked for only now,
                            // after the state, which the manager would undo.
                            // (A Wayland compositor sizes the window itself
                            // once it has left the state.)
                            if (!OnWayland()) {
                                ReturnToOwnSize(*widget);
                            }
                        },
                        Qt::QueuedConnection);
                }
                break;
            case QEvent::Move:
                // Where the window stood at its own size: an X11 window
                // manager moves it to the corner of the screen for full
                // screen, and does not always put it back.
                if (IsFixedSize(*widget) && !(widget->windowState() & kCompositorSized) &&
                    WindowSize(*widget) == widget->minimumSize()) {
                    widget->setProperty(kPlacedAt, widget->pos());
                }
                break;
            case QEvent::Resize:
                // Back from a compositor's size, or held against a drag on
                // the edge of Qt's title bar. An X11 window manager resizes
                // for full screen before it marks the window so; a request
                // made in between is lost when the window leaves the state.
                if (OnWayland() && IsFixedSize(*widget) &&
                    !(widget->windowState() & kCompositorSized) &&
                    widget->size() != widget->minimumSize()) {
                    QMetaObject::invokeMethod(
                        widget, [widget] { ReturnToOwnSize(*widget); }, Qt::QueuedConnection);
                }
                break;
            default:
                break;
        }
        return false;
    }
};

}  // namespace

bool OnWayland() {
    return QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

void KeepFixedSizes(QApplication& application) {
    application.installEventFilter(new FixedSizeKeeper(&application));
}

void FitTitleBar(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!OnWayland() || grid == nullptr) {
        return;
    }
    QFont titleFont = QGuiApplication::font();
    titleFont.setPixelSize(kTitlePixels);
    const int width =
        QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + 2 * kTitleBarButtonsWidth;
    grid->addItem(new QSpacerItem(width, 0), grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace kelvaro::qt
