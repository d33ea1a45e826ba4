// The toolkit's own floor: a bare Qt window of the program's size, caption and
// background, with nothing in it.
//   qt_floor CAPTION WIDTH HEIGHT
#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 4) {
        std::fputs("usage: qt_floor CAPTION WIDTH HEIGHT\n", stderr);
        return 2;
    }
    QWidget window;
    window.setWindowTitle(QString::fromUtf8(argv[1]));
    window.setFixedSize(std::atoi(argv[2]), std::atoi(argv[3]));
    QPalette background = window.palette();
    background.setColor(QPalette::Window, QColor(0xC0, 0xFF, 0xC0));
    window.setPalette(background);
    window.setAutoFillBackground(true);
    window.show();
    return QApplication::exec();
}
