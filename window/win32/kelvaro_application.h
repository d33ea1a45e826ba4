// Kelvaro on the native Windows API: its one window and its message loop.
#pragma once

#include <windows.h>

#include <optional>

namespace kelvaro::win32 {

class Form1Window;

// Opens Form1 and runs until the program ends; returns the exit status, which
// is not 0 when the window cannot be created or its messages cannot be read
// (the user is told why in a message box where Windows still shows one).
int RunKelvaro(HINSTANCE instance, int showCommand);

// Where the message loop takes its messages from: GetMessageW, or a stand-in
// with its contract (above 0 a message, 0 WM_QUIT, -1 a failure).
using GetMessageFunction = BOOL(WINAPI*)(MSG*, HWND, UINT, UINT);

// Delivers the thread's messages to their windows, the form's keyboard
// navigation first, until WM_QUIT; returns its exit status, or nothing when
// a message could not be read.
std::optional<int> RunMessageLoop(Form1Window& form, GetMessageFunction getMessage = GetMessageW);

}  // namespace kelvaro::win32
