#include "window/qt/picture_box.h"

#include <QImageReader>
#include <QPainter>

namespace kelvaro::qt {

PictureBox::PictureBox(const QString& picture, int borderPixels, QWidget* parent)
    : QFrame(parent), picture_(picture), pixels_(picture + QStringLiteral(".png")) {
    // The classic sunken panel, whatever the style; it is two pixels wide.
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    Q_ASSERT(frameWidth() == borderPixels);
    Q_UNUSED(borderPixels);
    setFocusPolicy(Qt::StrongFocus);
}

QSize PictureBox::PictureSize() const {
    return pixels_.deviceIndependentSize().toSize();
}

const QPixmap& PictureBox::PictureFor(qreal devicePixelRatio) {
    if (!qFuzzyCompare(pixels_.devicePixelRatio(), devicePixelRatio)) {
        // Rendered from the vector source: only on high-DPI screens, where it
        // is worth loading the SVG reader.
        QImageReader reader(picture_ + QStringLiteral(".svg"));
        reader.setScaledSize(PictureSize() * devicePixelRatio);
        QPixmap rendered = QPixmap::fromImage(reader.read());
        rendered.setDevicePixelRatio(devicePixelRatio);
        if (!rendered.isNull()) {
            pixels_ = rendered;
        }
    }
    return pixels_;
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawPixmap(contentsRect().topLeft(), PictureFor(painter.device()->devicePixelRatioF()));
}

}  // namespace kelvaro::qt
