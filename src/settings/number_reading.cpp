#include "settings/number_reading.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace quorvane::settings {

namespace {

bool IsSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double ReadNumber(std::string_view text) {
  // Gather the number's characters without the skipped blanks, then let from_chars read them.
  std::string number;
  bool sign_allowed = true;
  bool point_seen = false;
  bool digit_seen = false;
  for (char c : text) {
    if (IsSkipped(c)) continue;
    if ((c == '+' || c == '-') && sign_allowed) {
      if (c == '-') number.push_back('-');
      sign_allowed = false;
    } else if (IsDigit(c)) {
      number.push_back(c);
      digit_seen = true;
      sign_allowed = false;
    } else if (c == '.' && !point_seen) {
      number.push_back('.');
      point_seen = true;
      sign_allowed = false;
    } else {
      break;
    }
  }
  if (!digit_seen) return 0.0;
  const char* first = number.data();
  const char* last = first + number.size();
  bool negative = *first == '-';
  double value = 0.0;
  auto result = std::from_chars(first, last, value, std::chars_format::fixed);
  if (result.ec == std::errc::result_out_of_range) {
    // Too many digits for a double: an overflow the caller can see, or a value too small to tell
    // from zero.
    bool tiny = number.find_first_of("123456789") > number.find('.');
    if (tiny) return negative ? -0.0 : 0.0;
    return negative ? -std::numeric_limits<double>::infinity()
                    : std::numeric_limits<double>::infinity();
  }
  return value;
}

std::optional<int16_t> RoundToInt16(double number) {
  if (!std::isfinite(number)) return std::nullopt;
  // The default rounding mode takes halves to the even neighbour.
  double rounded = std::nearbyint(number);
  if (rounded < std::numeric_limits<int16_t>::min() ||
      rounded > std::numeric_limits<int16_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int16_t>(rounded);
}

std::optional<int16_t> ReadOptionIndex(std::string_view text) {
  return RoundToInt16(ReadNumber(text));
}

}  // namespace quorvane::settings
