// What both Win32 test programs read of Windows: the texts, UTF-16 where the
// expectations' are UTF-8, read with the messages that reach a window of any
// process (GetWindowText would not reach another's control); and a thread's
// windows, as another program on the desktop may show windows of their class.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

inline std::wstring Wide(const char* utf8) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length) - 1);  // without the NUL
    return wide;
}

inline std::wstring WindowText(HWND window) {
    const auto length = static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
    std::vector<wchar_t> text(length + 1);
    SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

inline std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The first window of the class that the thread made, shown or not.
inline HWND ThreadWindow(DWORD thread, const wchar_t* windowClass) {
    HWND window = nullptr;
    do {
        window = FindWindowExW(nullptr, window, windowClass, nullptr);
    } while (window != nullptr && GetWindowThreadProcessId(window, nullptr) != thread);
    return window;
}
