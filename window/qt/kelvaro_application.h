// Kelvaro on Qt: the application, its one window and its event loop.
#pragma once

namespace kelvaro::qt {

// Settings of the running application that every window of it shares: the
// style that draws the classic sunken boxes and raised buttons, the names
// and the icon.
void PrepareApplication();

// Opens Form1 and runs until the program ends; returns the exit status.
int RunKelvaro(int argc, char** argv);

}  // namespace kelvaro::qt
