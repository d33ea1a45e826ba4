#include "window/qt/kelvaro_application.h"

#include <QApplication>
#include <QIcon>
#include <QStyleFactory>

#include "window/qt/form1_window.h"
#include "window/qt/qt_text.h"

namespace kelvaro::qt {

void PrepareApplication() {
    // Never a display name: Qt would append it to every window title.
    QApplication::setApplicationName(ToQString(kForm1.applicationTitle));
    QGuiApplication::setDesktopFileName(QStringLiteral(KELVARO_APP_ID));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
    QIcon icon;
    for (const int size : {16, 32, 48, 64}) {
        icon.addFile(QStringLiteral(":/kelvaro/icon/kelvaro-%1.png").arg(size), QSize(size, size));
    }
    QApplication::setWindowIcon(icon);
    // Message boxes speak in the window's face too.
    QApplication::setFont(FormFont(kForm1.defaultFont));
}

int RunKelvaro(int argc, char** argv) {
    QApplication application(argc, argv);
    PrepareApplication();
    Form1Window form;
    form.show();
    return QApplication::exec();
}

}  // namespace kelvaro::qt
