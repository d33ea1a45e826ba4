// What Form1 does, written once for every front end: the load step, the two
// buttons and the closing of the window. A front end builds the window from
// the design table, implements Form1FrontEnd and routes its events here.
#pragma once

#include <string>
#include <string_view>

#include "window/form1_design.h"

namespace kelvaro {

class Form1FrontEnd {
  public:
    virtual ~Form1FrontEnd() = default;

    // The text of a text box or the caption of a label.
    virtual std::string Text(ControlId control) const = 0;
    // Sets the text of a text box or the caption of a label.
    virtual void SetText(ControlId control, std::string_view text) = 0;
    // Tells screen readers the text, without moving the focus or changing
    // anything the window shows.
    virtual void Announce(std::string_view text) = 0;
    // Shows the text in a modal message box with the application's title and
    // a single OK button; returns when the user has dismissed it.
    virtual void ShowMessage(std::string_view text) = 0;
    // Ends the program at once, with exit status 0.
    virtual void EndProgram() = 0;
};

class Form1Behavior {
  public:
    explicit Form1Behavior(Form1FrontEnd& frontEnd) : frontEnd_(frontEnd) {}

    // Runs once the controls exist, before the window is shown.
    void Load();
    // Calculate: checks the three inputs, then shows either the one message
    // that applies or the results, with the inputs rewritten canonically,
    // and announces the results to screen readers.
    void Command1Click();
    // Exit.
    void Command2Click();
    // The window was closed (close box, window menu, Alt+F4, window manager).
    void Closed();

  private:
    // Writes a text where it differs from what the control shows: a screen
    // reader hears of no change that is none.
    void Write(ControlId control, std::string_view text);

    Form1FrontEnd& frontEnd_;
};

}  // namespace kelvaro
