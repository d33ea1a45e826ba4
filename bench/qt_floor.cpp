// The toolkit's own floor: a bare Qt window of the program's size, caption and
// background, with nothing in it.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("智能Kelvaro   [编程: Mirelle]"));
    window.setFixedSize(357, 247);
    QPalette background = window.palette();
    background.setColor(QPalette::Window, QColor(0xC0, 0xFF, 0xC0));
    window.setPalette(background);
    window.setAutoFillBackground(true);
    window.show();
    return QApplication::exec();
}
