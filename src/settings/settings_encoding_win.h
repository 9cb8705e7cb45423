// The settings file's bytes: the system's ANSI code page (Shift-JIS on a Japanese Windows), or
// UTF-8 behind a byte-order mark when a value cannot be written in that code page.
#pragma once

#include <string>
#include <string_view>

namespace quorvane::settings {

// The file's bytes as UTF-8 text. Bytes that do not decode become U+FFFD; NUL bytes stay.
std::string DecodeSettingsBytes(std::string_view bytes);

// The text as the file's bytes: ANSI when every character has its own code there, otherwise
// UTF-8 with a byte-order mark, so no character is replaced by a look-alike or a "?".
std::string EncodeSettingsText(std::string_view utf8);

}  // namespace quorvane::settings
