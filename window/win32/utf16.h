// The window's texts are UTF-8; Windows' are UTF-16.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvaro::win32 {

// A NUL-terminated UTF-16 copy of the text.
std::vector<wchar_t> ToUtf16(std::string_view text);

std::string ToUtf8(const wchar_t* text, int length);

}  // namespace kelvaro::win32
