// Fonts that shrink to fit their box do so in quarter points: fine enough to
// use the room there is at any scale, few enough steps to measure each one.
#pragma once

#include <QFont>
#include <QtMath>

namespace kelvaro::qt {

inline constexpr int kFontStepsPerPoint = 4;

inline int FontSteps(const QFont& font) {
    return qRound(font.pointSizeF() * kFontStepsPerPoint);
}

inline QFont AtFontSteps(QFont font, int steps) {
    font.setPointSizeF(static_cast<double>(steps) / kFontStepsPerPoint);
    return font;
}

}  // namespace kelvaro::qt
