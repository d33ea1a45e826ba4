// What a widget draws, read back from its pixels: the tests judge text by the
// ink it leaves, not by the calls that drew it.
#pragma once

#include <QImage>
#include <QSet>
#include <QWidget>

namespace kelvaro::ink {

// The widget alone, children included, on a transparent ground, in device
// pixels.
inline QImage RenderTransparent(QWidget* widget) {
    const qreal ratio = widget->devicePixelRatioF();
    QImage image(widget->size() * ratio, QImage::Format_ARGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// A run of rows or columns, [first, last]; {-1, -1} for none.
struct Span {
    int first = -1;
    int last = -1;
    int Length() const { return first < 0 ? 0 : last - first + 1; }
};

// The rows with any ink in them.
inline Span InkedRows(const QImage& image) {
    Span rows;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) != 0) {
                rows.first = rows.first < 0 ? y : rows.first;
                rows.last = y;
                break;
            }
        }
    }
    return rows;
}

// The columns [first, last] with any ink in them.
inline Span InkedColumns(const QImage& image) {
    return InkedRows(image.transformed(QTransform(0, 1, 1, 0, 0, 0)));
}

// The first band of inked rows with no empty row inside it: a text's first line.
inline Span FirstInkedBand(const QImage& image) {
    const Span all = InkedRows(image);
    Span band{all.first, all.first};
    for (int y = all.first + 1; all.first >= 0 && y <= all.last; ++y) {
        if (InkedRows(image.copy(0, y, image.width(), 1)).first < 0) {
            break;
        }
        band.last = y;
    }
    return band;
}

// The coverage of all ink, in whole pixels.
inline double Coverage(const QImage& image) {
    double total = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            total += qAlpha(image.pixel(x, y)) / 255.0;
        }
    }
    return total;
}

// The distinct opacities of the ink: {0, 255} alone for text drawn from
// bitmaps or without anti-aliasing.
inline QSet<int> Opacities(const QImage& image) {
    QSet<int> levels;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            levels.insert(qAlpha(image.pixel(x, y)));
        }
    }
    return levels;
}

}  // namespace kelvaro::ink
