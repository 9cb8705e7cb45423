// What the saver takes from the settings file's text: the playlist and how large and where each
// picture is shown. Lines count in file order, a later line changing what an earlier one set.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::settings {

// The playlist holds at most this many entries: the saver reads no more, the dialog adds no more.
inline constexpr int kMostPlayListEntries = 100;

struct SizeSettings {
  double factor = 1;         // 0: the free factor was chosen and not given
  bool full_screen = false;  // once chosen, stays for the whole settings file
};

struct SaverSettings {
  std::vector<std::string> play_list;  // the first kMostPlayListEntries, each value whole
  SizeSettings size;
  bool random_position = false;
};

SaverSettings ReadSaverSettings(std::string_view text);

// True when the position selector asks for a random place: any decimal digit but "0".
// Absent, "0", empty or not a digit: the centre.
bool IsRandomPosition(const std::optional<std::string>& selector);

}  // namespace quorvane::settings
