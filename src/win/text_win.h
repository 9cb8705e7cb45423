// Conversions between the program's UTF-8 text and the UTF-16 text of the W Win32 calls.
#pragma once

#include <string>
#include <string_view>

namespace quorvane::win {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace quorvane::win
