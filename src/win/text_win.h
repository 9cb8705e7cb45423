// Conversions between the program's UTF-8 text and the UTF-16 text of the W Win32 calls.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvane::win {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// Text in the system's ANSI code page (Shift-JIS on a Japanese Windows) as UTF-8, or nothing
// when the bytes are not valid there.
std::optional<std::string> AnsiToUtf8(std::string_view ansi);

}  // namespace quorvane::win
