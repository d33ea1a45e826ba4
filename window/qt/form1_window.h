// Form1 on Qt Widgets: the design table turned into widgets, with the
// window's events routed to its behaviour.
#pragma once

#include <QWidget>
#include <array>

#include "window/form1_behavior.h"
#include "window/form1_design.h"

namespace kelvaro::qt {

class Form1Window : public QWidget, private Form1FrontEnd {
    Q_OBJECT

  public:
    // Builds the window and runs its load step; show() opens it.
    explicit Form1Window(QWidget* parent = nullptr);

    QWidget* Control(ControlId id) const { return controls_[static_cast<std::size_t>(id)]; }

  protected:
    // The window opens centred on its screen, its frame included.
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* CreateControl(const ControlDesign& design);
    void CentreOnScreen();

    std::string Text(ControlId textBox) const override;
    void SetText(ControlId control, std::string_view text) override;
    void ShowMessage(std::string_view text) override;
    void EndProgram() override;

    std::array<QWidget*, kControlCount> controls_{};
    Form1Behavior behavior_{*this};
};

// The window's font in the given size and weight.
QFont FormFont(const FontStyle& style);

}  // namespace kelvaro::qt
