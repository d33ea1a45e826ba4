// A picture box: its picture drawn at the top-left inside a sunken border.
// It takes part in the focus order like any other control.
#pragma once

#include <QFrame>
#include <QSvgRenderer>

namespace kelvaro {

class PictureBox : public QFrame {
    Q_OBJECT

public:
    // `picture` is an SVG file; it is drawn as vectors, so it stays sharp at
    // any device pixel ratio.
    PictureBox(const QString& picture, int borderPixels, QWidget* parent);

    // The picture's own size, in logical pixels.
    QSize PictureSize() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSvgRenderer renderer_;
};

}  // namespace kelvaro
