// Form1 on Qt Widgets: the design table turned into widgets.
#pragma once

#include <QWidget>
#include <array>

#include "window/form1_design.h"

namespace kelvaro {

class Form1Window : public QWidget {
    Q_OBJECT

public:
    explicit Form1Window(QWidget* parent = nullptr);

    QWidget* Control(ControlId id) const { return controls_[static_cast<std::size_t>(id)]; }

protected:
    // The window opens centred on its screen, its frame included.
    void showEvent(QShowEvent* event) override;

private:
    void CentreOnScreen();

    QWidget* CreateControl(const ControlDesign& design);

    std::array<QWidget*, kControlCount> controls_{};
};

// The window's font in the given size and weight.
QFont FormFont(const FontStyle& style);

}  // namespace kelvaro
