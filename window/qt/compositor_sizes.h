// Under a Wayland compositor the compositor, not the program, sizes a
// maximised or full-screen window, and a client that answers with a size of
// its own is disconnected. Qt draws its own title bar there, with a maximise
// button whatever the window's flags, and the compositor maximises by its own
// keys too. These keep the program's fixed-size windows alive and whole.
#pragma once

class QApplication;
class QMessageBox;

namespace kelvaro::qt {

// True when the program runs as a Wayland client.
bool OnWayland();

// On Wayland, every fixed-size window of the application takes the size the
// compositor imposes, leaves the maximised or full-screen state at once and
// returns to its own size. Elsewhere the window manager keeps to the size
// hints and nothing is done.
void KeepFixedSizesUnderCompositor(QApplication& application);

// On Wayland, widens a message box enough for the title Qt draws in its own
// title bar to show whole.
void FitTitleBar(QMessageBox& box);

}  // namespace kelvaro::qt
