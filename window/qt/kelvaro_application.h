// Kelvaro on Qt: the application, its one window and its event loop.
#pragma once

#include <QString>

namespace kelvaro::qt {

// Settings of the running application that every window of it shares: the
// style that draws the classic sunken boxes and raised buttons, the names,
// the icon, and Qt's own texts (a box's context menu) in the window's language.
void PrepareApplication();

// Installs Qt's own translation into the window's language from the directory
// given; false, with Qt's built-in English left in place, where it is missing.
bool LoadQtTranslation(const QString& directory);

// Opens Form1 and runs until the program ends; returns the exit status.
int RunKelvaro(int argc, char** argv);

}  // namespace kelvaro::qt
