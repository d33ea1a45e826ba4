#include "window/qt/kelvaro_application.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QStyleFactory>
#include <QTranslator>

#include "window/qt/compositor_sizes.h"
#include "window/qt/form1_window.h"
#include "window/qt/qt_text.h"

namespace kelvaro::qt {
namespace {

// Qt's own translation in the window's language.
constexpr const char* kQtTranslation = "qtbase_zh_CN";

// Wayland lets no program place its window, and Qt's own title bar there
// offers a maximise button. Where the session runs an X server as well
// (XWayland), the window opens through it, centred and fixed as designed;
// should that server not answer, Qt goes on to Wayland. A platform the user
// chose stands.
void PreferX11UnderWayland() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
    }
}

}  // namespace

bool LoadQtTranslation(const QString& directory) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QString::fromLatin1(kQtTranslation), directory)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

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
    QApplication::setFont(
        FormFont(kForm1.defaultFont, DevicePixelsPerInch(QGuiApplication::primaryScreen())));
    LoadQtTranslation(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

int RunKelvaro(int argc, char** argv) {
    PreferX11UnderWayland();
    QApplication application(argc, argv);
    PrepareApplication();
    KeepFixedSizes(application);
    Form1Window form;
    form.show();
    return QApplication::exec();
}

}  // namespace kelvaro::qt
