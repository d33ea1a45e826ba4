// The expectations' texts are UTF-8; Windows' are UTF-16.
#pragma once

#include <windows.h>

#include <string>

inline std::wstring Wide(const char* utf8) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length) - 1);  // without the NUL
    return wide;
}
