// Form1 on Qt Widgets: the design table turned into widgets, with the
// window's events routed to its behaviour.
#pragma once

#include <QWidget>
#include <array>

#include "window/form1_behavior.h"
#include "window/form1_design.h"
#include "window/qt/accessibility.h"

class QScreen;

namespace kelvaro::qt {

class Form1Window : public QWidget, private Form1FrontEnd {
    Q_OBJECT

  public:
    // Builds the window and runs its load step; show() opens it.
    explicit Form1Window(QWidget* parent = nullptr);

    QWidget* Control(ControlId id) const { return controls_[static_cast<std::size_t>(id)]; }

  protected:
    // The window opens centred on its screen, its frame included: once more
    // when a window manager has framed it, which happens only once it shows.
    void showEvent(QShowEvent* event) override;
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* CreateControl(const ControlDesign& design);
    // The window, with a frame of these margins, in the middle of its screen.
    void CentreOnScreen(const QMargins& frame);

    std::string Text(ControlId control) const override;
    void SetText(ControlId control, std::string_view text) override;
    void Announce(std::string_view text) override;
    void ShowMessage(std::string_view text) override;
    void EndProgram() override;

    // The screen's density that the controls are placed at, and the one
    // their fonts are drawn at.
    int layoutDotsPerInch_ = kDesignDotsPerInch;
    int devicePixelsPerInch_ = kDesignDotsPerInch;
    std::array<QWidget*, kControlCount> controls_{};
    bool centredInFrame_ = false;
    Announcer announcer_{this};
    Form1Behavior behavior_{*this};
};

// Pixels per inch on the device a screen draws on: its font DPI times its
// device pixel ratio.
int DevicePixelsPerInch(const QScreen* screen);

// The window's font in the given size and weight, for a device of the given
// density.
QFont FormFont(const FontStyle& style, int devicePixelsPerInch);

}  // namespace kelvaro::qt
