// Form1 as screen readers meet it on Qt: the roles Qt cannot tell from the
// widgets' classes, and announcements that move no focus.
#pragma once

#include <QAccessible>
#include <QString>

class QWidget;

namespace kelvaro::qt {

// The form is a window (a frame, named by its caption), not a bare widget;
// the picture box an image, not a frame. Takes effect for widgets whose
// accessible interface is asked for afterwards.
void InstallAccessibleRoles();

// Tells screen readers a text on behalf of a window. Qt 6.8 and later send it
// as an announcement, which Orca reads out from version 45.2; with older Qt
// it is a notification, an object that only screen readers see, shown anew
// for each text, which Orca reads out whatever has the focus.
class Announcer {
  public:
    explicit Announcer(QWidget* window) : window_(window) {}
    ~Announcer();
    Announcer(const Announcer&) = delete;
    Announcer& operator=(const Announcer&) = delete;

    void Announce(const QString& text);

  private:
    QWidget* window_;
    QAccessible::Id notification_ = 0;
};

}  // namespace kelvaro::qt
