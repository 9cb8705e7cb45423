// Reading numbers out of settings values: the value's leading decimal number, and rounding it
// to an option index. Pure functions.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quorvane::settings {

// The leading decimal number of text: an optional sign, digits with "." as the decimal point;
// blanks, tabs and line feeds inside it are skipped; reading stops at the first character that
// cannot continue the number. Text without a number reads as 0. Exponents, hexadecimal and
// octal prefixes are not part of a number ("1e3" reads as 1, "0x10" as 0).
double ReadNumber(std::string_view text);

// The nearest 16-bit signed integer, halves to the even neighbour (2.5 gives 2, 3.5 gives 4);
// nothing when the result lies outside -32768..32767 or the number is not finite.
std::optional<int16_t> RoundToInt16(double number);

// Both steps: the option index a stored value names, or nothing on overflow.
std::optional<int16_t> ReadOptionIndex(std::string_view text);

}  // namespace quorvane::settings
