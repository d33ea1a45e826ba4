#include "window/qt/fitting_text_box.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QStyle>
#include <QStyleOptionFrame>

#include "window/form_rendering.h"
#include "window/qt/font_steps.h"

namespace kelvaro::qt {
namespace {

// QLineEdit keeps this many pixels clear on each side of its text.
constexpr int kLineEditTextMargin = 2;

int TextWidth(const QFont& font, const QString& text) {
    return qRound(QFontMetricsF(font).horizontalAdvance(text)) + 1;  // and the caret
}

// What QLineEdit needs beside the text to centre it rather than scroll it:
// room for the face's widest overhangs on either side, which for the Song
// faces is a good part of an em.
int WidthCentred(const QFont& font, const QString& text) {
    const QFontMetrics metrics(font);
    return TextWidth(font, text) + qMax(0, -metrics.minLeftBearing()) +
           qMax(0, -metrics.minRightBearing());
}

}  // namespace

FittingTextBox::FittingTextBox(QWidget* parent) : QLineEdit(parent), designFont_(font()) {
    connect(this, &QLineEdit::textChanged, this, &FittingTextBox::Fit);
}

void FittingTextBox::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange && !fitting_) {
        designFont_ = font();
        Fit();
    }
}

void FittingTextBox::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    Fit();
}

int FittingTextBox::TextRoomWidth() const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    return contents.marginsRemoved(textMargins()).width() - 2 * kLineEditTextMargin;
}

void FittingTextBox::Fit() {
    const QString shown = text();
    const int room = TextRoomWidth();
    QFont fitted = designFont_;
    // A text that fits at the design's font is left exactly as it was drawn
    // before; a longer one shrinks until QLineEdit centres it, which it does
    // whatever the box showed before.
    if (TextWidth(designFont_, shown) > room) {
        const int steps = LargestFittingSize(FontSteps(designFont_), room, [&](int size) {
            return WidthCentred(AtFontSteps(designFont_, size), shown);
        });
        fitted = AtFontSteps(designFont_, steps);
    }
    if (fitted != font()) {
        fitting_ = true;
        setFont(fitted);
        fitting_ = false;
    }
}

}  // namespace kelvaro::qt
