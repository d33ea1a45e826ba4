// Form1's hand-written expectation in Qt's terms: logical pixels at 96 dots
// per inch, where every place of the design is a whole number of pixels.
#pragma once

#include <QColor>
#include <QRect>
#include <QSize>

#include "expected_form1.h"

namespace kelvaro::expected {

inline constexpr int kTwipsPerPixel = 15;

inline QRect Pixels(const Place& place) {
    return QRect(place.left / kTwipsPerPixel, place.top / kTwipsPerPixel,
                 place.width / kTwipsPerPixel, place.height / kTwipsPerPixel);
}

inline QSize ClientPixels() {
    return QSize(kClientWidth / kTwipsPerPixel, kClientHeight / kTwipsPerPixel);
}

inline QColor Colour(std::uint32_t rgb) {
    return QColor(QRgb(rgb));
}

}  // namespace kelvaro::expected
