#include "window/qt/accessibility.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>

#include "window/qt/form1_window.h"
#include "window/qt/picture_box.h"

namespace kelvaro::qt {
namespace {

QAccessibleInterface* AccessibleWithRole(const QString& /*className*/, QObject* object) {
    if (auto* form = qobject_cast<Form1Window*>(object)) {
        return new QAccessibleWidget(form, QAccessible::Window);
    }
    if (auto* picture = qobject_cast<PictureBox*>(object)) {
        return new QAccessibleWidget(picture, QAccessible::Graphic);
    }
    return nullptr;
}

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
// A notification of the window's, with no widget and nothing drawn: its name
// is the text being told.
class Notification : public QAccessibleInterface {
  public:
    explicit Notification(QWidget* window) : window_(window) {}

    void SetText(const QString& text) { text_ = text; }

    bool isValid() const override { return !window_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return window_ ? window_->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(window_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name ? text_ : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override { return {}; }

  private:
    QPointer<QWidget> window_;
    QString text_;
};
#endif

}  // namespace

void InstallAccessibleRoles() {
    static const bool installed = (QAccessible::installFactory(AccessibleWithRole), true);
    Q_UNUSED(installed);
}

Announcer::~Announcer() {
    if (notification_ != 0) {
        QAccessible::deleteAccessibleInterface(notification_);
    }
}

void Announcer::Announce(const QString& text) {
    if (!QAccessible::isActive()) {
        return;
    }
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent announcement(window_, text);
    QAccessible::updateAccessibility(&announcement);
#else
    if (notification_ == 0) {
        notification_ = QAccessible::registerAccessibleInterface(new Notification(window_));
    }
    auto* notification =
        static_cast<Notification*>(QAccessible::accessibleInterface(notification_));
    notification->SetText(text);
    QAccessibleEvent shown(notification, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
#endif
}

}  // namespace kelvaro::qt
