#include "window/qt/form_label.h"

#include <algorithm>

#include <QFontDatabase>
#include <QFontInfo>
#include <QPainter>
#include <QTextLayout>

#include "window/form_rendering.h"
#include "window/qt/font_steps.h"

namespace kelvaro::qt {
namespace {

// A face with no bold of its own is made bold by the font engine: from its
// bitmaps by a whole pixel, but from its outlines by a fraction of one, which
// at 2x reads as regular. Such text drawn from outlines is struck again a
// device pixel to the right, so that the bold labels are bold at every scale.
bool NeedsOverstrike(const QFont& font) {
    if (font.weight() < QFont::Bold || (font.styleStrategy() & QFont::NoAntialias)) {
        return false;
    }
    const QString family = QFontInfo(font).family();
    const QStringList styles = QFontDatabase::styles(family);
    return std::none_of(styles.begin(), styles.end(), [&](const QString& style) {
        return QFontDatabase::weight(family, style) >= QFont::Bold;
    });
}

}  // namespace

FormLabel::FormLabel(const QString& text, bool singleLine, QWidget* parent)
    : QLabel(text, parent), singleLine_(singleLine) {
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

int FormLabel::LayOut(QTextLayout& layout) const {
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(singleLine_ ? QTextOption::NoWrap
                                   : QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);

    const qreal leading = QFontMetricsF(font()).leading();
    int wholeLines = 0;
    qreal y = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width());
        line.setPosition(QPointF(0, y));
        if (y + line.height() > height()) {
            break;
        }
        ++wholeLines;
        y += line.height() + leading;
    }
    layout.endLayout();
    return wholeLines;
}

QString FormLabel::FirstLineTallerThanBox(const QTextLayout& layout, int wholeLines) const {
    if (wholeLines > 0 || layout.lineCount() == 0) {
        return {};
    }
    const QTextLine first = layout.lineAt(0);
    return text().mid(first.textStart(), first.textLength());
}

QFont FormLabel::FontFitting(const QString& line) const {
    const int steps = LargestFittingSize(FontSteps(font()), height(), [&](int size) {
        return qCeil(QFontMetricsF(AtFontSteps(font(), size)).tightBoundingRect(line).height());
    });
    return AtFontSteps(font(), steps);
}

QFont FormLabel::DrawnFont() const {
    QTextLayout layout(text(), font(), this);
    const QString first = FirstLineTallerThanBox(layout, LayOut(layout));
    return first.isEmpty() ? font() : FontFitting(first);
}

void FormLabel::paintEvent(QPaintEvent*) {
    QTextLayout layout(text(), font(), this);
    const int wholeLines = LayOut(layout);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const auto strike = [&](const auto& draw) {
        draw(QPointF());
        if (NeedsOverstrike(painter.font())) {
            draw(QPointF(1 / devicePixelRatioF(), 0));
        }
    };
    // A face other than the design's may have lines much taller than its
    // glyphs (Noto CJK's are about 1.45 em): where the first line is taller
    // than the box, the box cuts the empty room above and below its glyphs,
    // which are centred in it, and only glyphs taller than the box shrink.
    if (const QString first = FirstLineTallerThanBox(layout, wholeLines); !first.isEmpty()) {
        const QFont fitted = FontFitting(first);
        const QRectF glyphs = QFontMetricsF(fitted).tightBoundingRect(first);
        painter.setFont(fitted);
        const QPointF baseline(0, qRound((height() - glyphs.height()) / 2 - glyphs.top()));
        strike([&](QPointF offset) { painter.drawText(baseline + offset, first); });
        return;
    }
    strike([&](QPointF offset) {
        for (int i = 0; i < wholeLines; ++i) {
            layout.lineAt(i).draw(&painter, offset);
        }
    });
}

}  // namespace kelvaro::qt
