// Under a Wayland compositor the compositor, not the program, sizes a
// maximised or full-screen window, and a client that answers with a size of
// its own is disconnected. Qt draws its own title bar there, with a maximise
// button whatever the window's flags, and the compositor maximises by its own
// keys too. An X11 window manager may offer full screen in its window menu
// whatever the size hints say. These keep the program's fixed-size windows
// alive and whole.
#pragma once

class QApplication;
class QMessageBox;

namespace kelvaro::qt {

// True when the program runs as a Wayland client.
bool OnWayland();

// Every fixed-size window of the application that the compositor or window
// manager makes maximised or full screen leaves that state at once and
// returns to its own size; on Wayland it first takes the size the
// compositor imposes, as the protocol requires.
void KeepFixedSizes(QApplication& application);

// On Wayland, widens a message box enough for the title Qt draws in its own
// title bar to show whole.
void FitTitleBar(QMessageBox& box);

}  // namespace kelvaro::qt
