#include "window/qt/form_label.h"

#include <QPainter>
#include <QTextLayout>

namespace kelvaro::qt {

FormLabel::FormLabel(const QString& text, bool singleLine, QWidget* parent)
    : QLabel(text, parent), singleLine_(singleLine) {
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void FormLabel::paintEvent(QPaintEvent*) {
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(singleLine_ ? QTextOption::NoWrap
                                   : QTextOption::WrapAtWordBoundaryOrAnywhere);
    QTextLayout layout(text(), font(), this);
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

    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    for (int i = 0; i < wholeLines; ++i) {
        layout.lineAt(i).draw(&painter, QPointF());
    }
}

}  // namespace kelvaro::qt
