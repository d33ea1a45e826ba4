// A read-only text box that always shows the whole of its text: where the
// text is too wide for the box at the box's own font, it is drawn in the same
// face just small enough to fit. The text itself is never changed, so
// selecting and copying give it exactly.
#pragma once

#include <QFont>
#include <QLineEdit>

namespace kelvaro::qt {

class FittingTextBox : public QLineEdit {
    Q_OBJECT

  public:
    explicit FittingTextBox(QWidget* parent);

    // The font set from outside, which the box returns to whenever the text fits.
    QFont DesignFont() const { return designFont_; }

  protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Fit();
    // The width the box gives its text, between its border and margins.
    int TextRoomWidth() const;

    QFont designFont_;
    bool fitting_ = false;
};

}  // namespace kelvaro::qt
