// UTF-8, the program's own text inside: the length of one character's sequence and whether
// bytes from outside (a file's contents, a path in a metafile) are valid UTF-8. Pure functions.
#pragma once

#include <cstddef>
#include <string_view>

namespace quorvane::base {

// The length of the sequence that starts with this byte, from the byte alone: 1 for ASCII and
// for a byte that cannot start a sequence.
size_t Utf8SequenceLength(unsigned char lead);

// The first character of text, a whole sequence (never cut past the end); empty for empty text.
std::string_view FirstCharacter(std::string_view text);

// True when every sequence is complete and well-formed: no stray continuation bytes, no
// overlong forms, no surrogates, nothing beyond U+10FFFF.
bool IsValidUtf8(std::string_view text);

}  // namespace quorvane::base
