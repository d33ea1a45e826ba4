#include "window/qt/picture_box.h"

#include <QImageReader>
#include <QPainter>

namespace kelvaro::qt {

PictureBox::PictureBox(const QString& picture, QWidget* parent)
    : QFrame(parent),
      picture_(picture),
      pixels_(picture + QStringLiteral(".png")),
      pictureSize_(pixels_.deviceIndependentSize().toSize()) {
    // The classic sunken panel, whatever the style; it is two pixels wide.
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
}

QSize PictureBox::PictureSize() const {
    return pictureSize_;
}

const QPixmap& PictureBox::PictureFor(QSize logicalSize, qreal devicePixelRatio) {
    if (pixels_.deviceIndependentSize().toSize() != logicalSize ||
        !qFuzzyCompare(pixels_.devicePixelRatio(), devicePixelRatio)) {
        // Rendered from the vector source: only on high-DPI screens, or where
        // the box grew with a larger font DPI, where it is worth loading the
        // SVG reader.
        QImageReader reader(picture_ + QStringLiteral(".svg"));
        reader.setScaledSize(logicalSize * devicePixelRatio);
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
    const QRect inside = contentsRect();
    painter.drawPixmap(inside.topLeft(),
                       PictureFor(inside.size(), painter.device()->devicePixelRatioF()));
}

}  // namespace kelvaro::qt
