#include "window/qt/picture_box.h"

#include <QPainter>

namespace kelvaro {

PictureBox::PictureBox(const QString& picture, int borderPixels, QWidget* parent)
    : QFrame(parent), renderer_(picture) {
    // The classic sunken panel, whatever the style; it is two pixels wide.
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    Q_ASSERT(frameWidth() == borderPixels);
    Q_UNUSED(borderPixels);
    setFocusPolicy(Qt::StrongFocus);
}

QSize PictureBox::PictureSize() const { return renderer_.defaultSize(); }

void PictureBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    renderer_.render(&painter, QRectF(contentsRect().topLeft(), PictureSize()));
}

}  // namespace kelvaro
