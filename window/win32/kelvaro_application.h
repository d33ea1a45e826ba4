// Kelvaro on the native Windows API: its one window and its message loop.
#pragma once

#include <windows.h>

namespace kelvaro::win32 {

// Opens Form1 and runs until the program ends; returns the exit status.
int RunKelvaro(HINSTANCE instance, int showCommand);

}  // namespace kelvaro::win32
