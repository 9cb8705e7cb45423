// Any text as a stored number: never NaN, the reading stops where the number does, a leading
// minus negates it, and the option index is the nearest integer with halves to even.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "settings/number_reading.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using quorvane::settings::ReadNumber;
  using quorvane::settings::RoundToInt16;
  std::string text(reinterpret_cast<const char*>(data), size);
  double number = ReadNumber(text);
  if (std::isnan(number)) std::abort();
  // Nothing after the text can be taken for a part of a number it did not have.
  if (ReadNumber(text + "x") != number) std::abort();
  if (!text.empty() && text[0] >= '0' && text[0] <= '9' && ReadNumber("-" + text) != -number) {
    std::abort();
  }
  if (std::optional<int16_t> index = RoundToInt16(number)) {
    double off = std::fabs(*index - number);
    if (off > 0.5 || (off == 0.5 && *index % 2 != 0)) std::abort();
  } else if (std::isfinite(number) && number > -32768.5 && number < 32767.5) {
    std::abort();  // in range but refused
  }
  return 0;
}
