// A label as the window shows it: no background of its own, so the form's
// colour shows through, no border, its text wrapped within its width and cut
// at its height. Of the lines after the first, one that does not fit whole is
// not drawn at all; the first line is always drawn.
#pragma once

#include <QLabel>

class QTextLayout;

namespace kelvaro::qt {

class FormLabel : public QLabel {
    Q_OBJECT

  public:
    // A label sized to its text keeps to its one line.
    FormLabel(const QString& text, bool singleLine, QWidget* parent);

    // The font the text is drawn in: the label's own, unless the glyphs of
    // its first line are taller than the box.
    QFont DrawnFont() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // Lays the text out in lines of the label's width; returns how many of
    // them fit whole in its height.
    int LayOut(QTextLayout& layout) const;
    // The text of the first line of a laid out text where not even that line
    // fits whole in the box; empty where it does.
    QString FirstLineTallerThanBox(const QTextLayout& layout, int wholeLines) const;
    // The largest font, at most the label's, whose glyphs of `line` fit the
    // box's height: the same search as for a text too wide.
    QFont FontFitting(const QString& line) const;

    bool singleLine_;
};

}  // namespace kelvaro::qt
