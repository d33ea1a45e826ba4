#include "window/qt/form_label.h"

#include <QPainter>
#include <QTextLayout>

#include "window/form_rendering.h"
#include "window/qt/font_steps.h"

namespace kelvaro::qt {

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
    // A face other than the design's may have lines much taller than its
    // glyphs (Noto CJK's are about 1.45 em): where the first line is taller
    // than the box, the box cuts the empty room above and below its glyphs,
    // which are centred in it, and only glyphs taller than the box shrink.
    if (const QString first = FirstLineTallerThanBox(layout, wholeLines); !first.isEmpty()) {
        const QFont fitted = FontFitting(first);
        const QRectF glyphs = QFontMetricsF(fitted).tightBoundingRect(first);
        painter.setFont(fitted);
        painter.drawText(QPointF(0, qRound((height() - glyphs.height()) / 2 - glyphs.top())),
                         first);
        return;
    }
    for (int i = 0; i < wholeLines; ++i) {
        layout.lineAt(i).draw(&painter, QPointF());
    }
}

}  // namespace kelvaro::qt
