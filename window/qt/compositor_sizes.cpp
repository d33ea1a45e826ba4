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

// Qt's own title bar centres the title on the whole bar and keeps about this
// much on the right for its three buttons, in a font of this pixel size.
constexpr int kTitleBarButtonsWidth = 80;
constexpr int kTitlePixels = 14;

bool IsFixedSize(const QWidget& widget) {
    return widget.minimumSize() == widget.maximumSize();
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
                            // An X11 window manager puts the window back
                            // where and as it was; a Wayland compositor leaves
                            // its size to the next Resize below.
                            widget->setWindowState(widget->windowState() & ~kCompositorSized);
                        },
                        Qt::QueuedConnection);
                }
                break;
            case QEvent::Resize:
                // Back from a compositor's size, or held against a drag on
                // the edge of Qt's title bar.
                if (OnWayland() && IsFixedSize(*widget) &&
                    !(widget->windowState() & kCompositorSized) &&
                    widget->size() != widget->minimumSize()) {
                    QMetaObject::invokeMethod(
                        widget, [widget] { widget->resize(widget->minimumSize()); },
                        Qt::QueuedConnection);
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
