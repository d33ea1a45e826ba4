// A label as the window shows it: no background of its own, so the form's
// colour shows through, no border, its text wrapped within its width and cut
// at its height. A line that does not fit whole is not drawn at all.
#pragma once

#include <QLabel>

namespace kelvaro::qt {

class FormLabel : public QLabel {
    Q_OBJECT

  public:
    // A label sized to its text keeps to its one line.
    FormLabel(const QString& text, bool singleLine, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool singleLine_;
};

}  // namespace kelvaro::qt
