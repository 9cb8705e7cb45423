#include "player/sound/device_clock.h"

#include <algorithm>
#include <cmath>

namespace quorvane::player {

namespace {

// How far back the readings' upper edge is looked for: a few of a device's steps (the feeding
// thread reads the position at each feed, about once a period), so that a reading taken late does
// not pull the position back, and one a step ahead is not held for long.
constexpr double kReadingsKept = 0.1;
// A reading this far behind the upper edge is not a step's lag: the device fell behind (it ran
// dry, or its server was held up), and the edge starts again from that reading.
constexpr double kFellBehind = 0.02;
// Parts played this long ago are forgotten.
constexpr double kPartsKept = 1.0;

}  // namespace

void DeviceClock::Gave(double seconds, std::optional<double> clip_from) {
  if (seconds <= 0) return;
  if (!parts_.empty()) {
    Part& last = parts_.back();
    bool both_silence = !last.clip_from && !clip_from;
    bool sound_goes_on = last.clip_from && clip_from &&
                         std::abs(*last.clip_from + (last.to - last.from) - *clip_from) < 1e-6;
    if (both_silence || sound_goes_on) {
      last.to += seconds;
      given_ += seconds;
      return;
    }
  }
  parts_.push_back({given_, given_ + seconds, clip_from});
  given_ += seconds;
}

void DeviceClock::GaveSilence(double seconds) { Gave(seconds, std::nullopt); }

void DeviceClock::GaveSound(double seconds, double clip_from) { Gave(seconds, clip_from); }

void DeviceClock::NewClip() {
  for (Part& part : parts_) part.clip_from.reset();
  ended_ = false;
}

void DeviceClock::Read(double position, double at) {
  if (!readings_.empty() && position - at < Edge() - kFellBehind) readings_.clear();
  readings_.push_back({position, at});
  while (readings_.size() > 1 && readings_.front().at < at - kReadingsKept) readings_.pop_front();
  // Parts long played go, but the last one of sound before the position stays: a silence after
  // it holds the clip where that sound ended.
  auto played = [&](const Part& part) { return part.to < position - kPartsKept; };
  auto last_sound = std::find_if(parts_.rbegin(), parts_.rend(), [&](const Part& part) {
    return part.clip_from && part.from <= position;
  });
  size_t keep_from = last_sound == parts_.rend()
                         ? parts_.size()
                         : static_cast<size_t>(parts_.rend() - last_sound) - 1;
  size_t gone = 0;
  while (gone < parts_.size() && gone < keep_from && played(parts_[gone])) ++gone;
  parts_.erase(parts_.begin(), parts_.begin() + static_cast<std::ptrdiff_t>(gone));
}

std::optional<double> DeviceClock::Position(double now) const {
  if (readings_.empty() || readings_.back().position <= 0) return std::nullopt;
  return std::min(Edge() + now, given_);
}

double DeviceClock::Edge() const {
  double ahead = readings_.front().position - readings_.front().at;
  for (const Reading& r : readings_) ahead = std::max(ahead, r.position - r.at);
  return ahead;
}

bool DeviceClock::Over(double now) const {
  if (!ended_) return false;
  auto last = std::find_if(parts_.rbegin(), parts_.rend(),
                           [](const Part& part) { return part.clip_from.has_value(); });
  if (last == parts_.rend()) return true;
  std::optional<double> position = Position(now);
  return position && *position >= last->to;
}

std::optional<double> DeviceClock::ClipSeconds(double now) const {
  std::optional<double> position = Position(now);
  auto first = std::find_if(parts_.begin(), parts_.end(),
                            [](const Part& part) { return part.clip_from.has_value(); });
  if (!position || first == parts_.end() || Over(now)) return std::nullopt;
  if (*position < first->from) return *first->clip_from - (first->from - *position);
  const Part* at = &*first;
  for (const Part& part : parts_) {
    if (part.clip_from && part.from <= *position) at = &part;
  }
  return *at->clip_from + std::min(*position, at->to) - at->from;
}

}  // namespace quorvane::player
