// Conversions between the program's UTF-8 text and the UTF-16 text of the W Win32 calls, and
// the text of a window.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace quorvane::win {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// Bytes in a code page as UTF-16; bytes that are not valid there become U+FFFD.
std::wstring FromCodePage(UINT code_page, std::string_view bytes);

// Text in the system's ANSI code page (Shift-JIS on a Japanese Windows) as UTF-8, or nothing
// when the bytes are not valid there.
std::optional<std::string> AnsiToUtf8(std::string_view ansi);

// A window's whole text (a control's caption or contents).
std::wstring WindowText(HWND window);

}  // namespace quorvane::win
