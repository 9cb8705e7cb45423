#include "player/decode/frame_times.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorvane::player {

namespace {

// Seconds a clip may run past the length in its header.
constexpr double kLengthAllowance = 2.0;
// A stamp this little behind the expected time is jitter, not a stamp going back.
constexpr double kLeastBack = 0.005;
// A stamp further ahead than this is a damaged one.
constexpr double kMostAhead = 5.0;
// Sound this little before the pictures' time still plays after a new start.
constexpr double kSoundOverlap = 0.05;

}  // namespace

double FrameDurationAt(int num, int den) {
  if (num <= 0 || den <= 0) return kDefaultFrameDuration;
  return std::clamp(static_cast<double>(den) / num, 0.005, 1.0);
}

double LatestTime(std::optional<int64_t> length_us) {
  if (!length_us || *length_us <= 0) return std::numeric_limits<double>::infinity();
  return static_cast<double>(*length_us) / 1e6 + kLengthAllowance;
}

std::optional<double> StampSeconds(std::optional<int64_t> stamp, double time_base, double origin) {
  if (!stamp) return std::nullopt;
  double time = static_cast<double>(*stamp) * time_base;
  return std::isfinite(time) ? std::optional<double>(time - origin) : std::nullopt;
}

double FrameTime(std::optional<double> stamp, double expected) {
  bool believable = stamp && *stamp >= expected - kLeastBack && *stamp <= expected + kMostAhead;
  return believable ? std::max(0.0, *stamp) : expected;
}

bool SoundBefore(std::optional<double> stamp, double from) {
  return stamp && *stamp < from - kSoundOverlap;
}

}  // namespace quorvane::player
