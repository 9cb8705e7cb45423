#include "settings/saver_settings.h"

#include "settings/number_reading.h"
#include "settings/settings_file.h"

namespace quorvane::settings {
namespace {

// "SizeSel" picks x0.5, x1, x1.5, x2, the free factor (0 until "SizeFree" gives it) or the full
// screen, by the value's first character; anything else leaves the size as it was.
void ApplySizeSelector(std::string_view value, SizeSettings& size) {
  switch (value.empty() ? '\0' : value[0]) {
    case '0':
      size.factor = 0.5;
      break;
    case '1':
      size.factor = 1;
      break;
    case '2':
      size.factor = 1.5;
      break;
    case '3':
      size.factor = 2;
      break;
    case '4':
      size.factor = 0;
      break;
    case '5':
      size.full_screen = true;
      break;
    default:
      break;
  }
}

}  // namespace

SaverSettings ReadSaverSettings(std::string_view text) {
  SaverSettings read;
  ForEachEntry(text, [&](const Entry& entry) {
    if (entry.key == kPlayList) {
      // Lines past the hundredth are passed over.
      if (read.play_list.size() < size_t{kMostPlayListEntries})
        read.play_list.emplace_back(entry.value);
    } else if (entry.key == kSizeSel) {
      ApplySizeSelector(entry.value, read.size);
    } else if (entry.key == kSizeFree) {
      // Only while the free choice waits for its factor (a first "SizeFree" that gave 0 too).
      if (read.size.factor == 0) read.size.factor = ReadNumber(entry.value);
    } else if (entry.key == kPosSel) {
      read.random_position = IsRandomPosition(std::string(entry.value));
    }
  });
  return read;
}

bool IsRandomPosition(const std::optional<std::string>& selector) {
  if (!selector || selector->empty()) return false;
  char c = (*selector)[0];
  return c >= '1' && c <= '9';
}

}  // namespace quorvane::settings
