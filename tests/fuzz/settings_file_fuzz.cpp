// Any bytes as a settings file: split into entries, every value read as a number and an index.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/number_reading.h"
#include "settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  size_t consumed = 0;
  quorvane::settings::ForEachEntry(text, [&](const quorvane::settings::Entry& entry) {
    if (entry.key.size() != quorvane::settings::kKeyFieldLength) std::abort();
    consumed += entry.key.size() + entry.value.size();
    double number = quorvane::settings::ReadNumber(entry.value);
    if (std::isnan(number)) std::abort();
    std::optional<int16_t> index = quorvane::settings::RoundToInt16(number);
    if (index && std::fabs(*index - number) > 0.5) std::abort();
  });
  if (consumed > size) std::abort();
  return 0;
}
