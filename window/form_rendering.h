// What every front end needs to turn the design into pixels: twips and points
// at a screen's density, and how the window's face is best drawn.
#pragma once

#include "window/form1_design.h"

namespace kelvaro {

inline constexpr int kPointsPerInch = 72;

// Twips (or points) to pixels at the given dots per inch, rounded to nearest.
constexpr int TwipsToPixels(int twips, int dotsPerInch) {
    return (twips * dotsPerInch + kTwipsPerInch / 2) / kTwipsPerInch;
}
constexpr int PointsToPixels(double points, int dotsPerInch) {
    return static_cast<int>(points * dotsPerInch / kPointsPerInch + 0.5);
}

struct PixelRect {
    int left;
    int top;
    int width;
    int height;

    constexpr int Right() const { return left + width; }
    constexpr int Bottom() const { return top + height; }
    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A control's box at the given density. The edges are rounded, not the sizes,
// so that controls that meet in twips still meet in pixels.
constexpr PixelRect ToPixels(const TwipRect& rect, int dotsPerInch) {
    const int left = TwipsToPixels(rect.left, dotsPerInch);
    const int top = TwipsToPixels(rect.top, dotsPerInch);
    return {left, top, TwipsToPixels(rect.left + rect.width, dotsPerInch) - left,
            TwipsToPixels(rect.top + rect.height, dotsPerInch) - top};
}

// Labels lie straight on the form's fixed background. One the design gives no
// colour is drawn in the classic window-text black, not in the system's text
// colour, which a dark or high-contrast scheme makes light.
inline constexpr Rgb kLabelText{0x000000};

// The Song faces carry hand-made bitmaps for sizes up to 16 pixels: text that
// small is drawn from them, without anti-aliasing; larger text is anti-aliased.
inline constexpr int kLargestBitmapFontPixels = 16;

constexpr bool DrawnFromBitmaps(int pixels) {
    return pixels <= kLargestBitmapFontPixels;
}
constexpr bool DrawnFromBitmaps(const FontStyle& style, int dotsPerInch) {
    return DrawnFromBitmaps(PointsToPixels(style.points, dotsPerInch));
}

// The largest font size, at most the design's, at which a text is no wider
// than the room it has: a box too narrow for a long result draws it smaller
// rather than cut it. widthAt(size) measures the text at a size; the unit of
// size is the front end's own (pixels, or tenths of a point).
template <typename WidthAt>
int LargestFittingSize(int designSize, int availableWidth, WidthAt widthAt) {
    int size = designSize;
    while (size > 1 && widthAt(size) > availableWidth) {
        --size;
    }
    return size;
}

// The box the program writes a result into shows the whole result: a result
// too long for it is drawn in a smaller font, never cut.
constexpr bool ShrinksToFit(const ControlDesign& design) {
    return design.kind == ControlKind::TextBox && design.readOnly;
}

}  // namespace kelvaro
