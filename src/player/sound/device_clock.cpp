#include "player/sound/device_clock.h"

#include <algorithm>

namespace quorvane::player {

namespace {

// How far back the readings' upper edge is looked for: a few of a device's steps, so that a
// reading taken late does not pull the position back, and a device that fell behind is followed
// within a tenth of a second.
constexpr double kReadingsKept = 0.1;

}  // namespace

void DeviceClock::Gave(double seconds, bool sound) {
  if (seconds <= 0) return;
  if (!parts_.empty() && parts_.back().sound == sound) {
    parts_.back().to += seconds;
  } else {
    parts_.push_back({given_, given_ + seconds, sound});
  }
  given_ += seconds;
}

void DeviceClock::Read(double position, double at) {
  readings_.push_back({position, at});
  while (readings_.size() > 1 && readings_.front().at < at - kReadingsKept) readings_.pop_front();
}

std::optional<double> DeviceClock::Position(double now) const {
  if (readings_.empty() || readings_.back().position <= 0) return std::nullopt;
  double ahead = readings_.front().position - readings_.front().at;
  for (const Reading& r : readings_) ahead = std::max(ahead, r.position - r.at);
  return std::min(ahead + now, given_);
}

std::optional<double> DeviceClock::ClipSeconds(double now) const {
  std::optional<double> position = Position(now);
  auto first_sound =
      std::find_if(parts_.begin(), parts_.end(), [](const Part& p) { return p.sound; });
  if (!position || first_sound == parts_.end()) return std::nullopt;
  if (*position < first_sound->from) return *position - first_sound->from;
  double played = 0;
  double last_sound_end = 0;
  for (const Part& part : parts_) {
    if (!part.sound) continue;
    last_sound_end = part.to;
    if (part.from < *position) played += std::min(*position, part.to) - part.from;
  }
  if (ended_ && *position >= last_sound_end) return std::nullopt;
  return played;
}

}  // namespace quorvane::player
