// A picture box: its picture inside a sunken border, filling the box, which
// is the picture's own size at the design's density.
// It takes part in the focus order like any other control.
#pragma once

#include <QFrame>
#include <QPixmap>

namespace kelvaro::qt {

class PictureBox : public QFrame {
    Q_OBJECT

  public:
    // `picture` names a picture kept both as "<picture>.png", drawn pixel for
    // pixel at its own size, and as "<picture>.svg", rendered for any other
    // size or device pixel ratio so that it stays sharp.
    PictureBox(const QString& picture, QWidget* parent);

    // The picture's own size, in logical pixels.
    QSize PictureSize() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // The picture at the given logical size, in device pixels for the ratio
    // the box is painted at.
    const QPixmap& PictureFor(QSize logicalSize, qreal devicePixelRatio);

    QString picture_;
    QPixmap pixels_;
    QSize pictureSize_;
};

}  // namespace kelvaro::qt
