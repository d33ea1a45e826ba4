#include "window/qt/kelvaro_application.h"

#include <QApplication>
#include <QIcon>
#include <QStyleFactory>

#include "window/qt/form1_window.h"
#include "window/qt/qt_text.h"

namespace kelvaro {

void PrepareApplication() {
    // Never a display name: Qt would append it to every window title.
    QApplication::setApplicationName(ToQString(kForm1.applicationTitle));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kelvaro/icon.svg")));
}

int RunKelvaro(int argc, char** argv) {
    QApplication application(argc, argv);
    PrepareApplication();
    Form1Window form;
    form.show();
    return QApplication::exec();
}

}  // namespace kelvaro
