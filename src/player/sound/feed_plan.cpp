#include "player/sound/feed_plan.h"

#include <algorithm>

#include "player/sound/sound_state.h"

namespace quorvane::player {

namespace {

// A device stops a stream that runs dry: while nothing of the clip's is there, silence keeps a
// third of its buffer full (and does not count as the clip's time).
constexpr size_t kKeptThird = 3;
// A stream with room and nothing to decide is looked at again after this long at the latest,
// should its device stop signalling.
constexpr double kLongestDeviceWait = 0.2;
// The device periods of sound the feeding thread leaves the device at the least while it sleeps:
// enough to ride over a late wake. It sleeps until half of what the device holds is left.
constexpr double kPeriodsLeft = 2;
// The shortest sleep of its own, in device periods. A sleep of one period saves no wake-up
// against the device's event, and timed by the thread's own clock it drifts against the
// device's: every so often two periods are played during it, and a wake that comes late on top
// finds the device all but empty.
constexpr double kShortestSleep = 2;

}  // namespace

FeederPlan NextStep(const FeederView& v) {
  if (v.stopping) return {FeederStep::kStop};
  if (v.open &&
      (v.failed || v.resting || v.default_changed || (!v.sound_wanted && v.idle >= kCloseAfter))) {
    return {FeederStep::kClose};
  }
  if (v.open) return {FeederStep::kFeed, kLongestDeviceWait};
  bool may_open = v.sound_wanted && !v.resting;
  if (may_open && (v.default_changed || v.device_came || v.since_open_failed >= kRetryOpen)) {
    return {FeederStep::kOpen};
  }
  // Nothing to play: nothing wakes the thread but a wake or a device's change.
  return {FeederStep::kWait, may_open ? kRetryOpen - v.since_open_failed : -1};
}

DeviceFeed PlanFeed(const FeedView& v) {
  DeviceFeed feed;
  size_t room = v.buffer - std::min(v.padding, v.buffer);
  // A new stream waits for a little sound, or the end, to follow its silence: once started it
  // would otherwise play underrun silence in the middle of the clip's first moments.
  if (!v.started && !v.sound_ends && v.sound < v.start_after) return feed;
  feed.silence_before = std::min(room, v.lead_in);
  size_t lead_in_left = v.lead_in - feed.silence_before;
  if (lead_in_left == 0) feed.sound = std::min(v.sound, room - feed.silence_before);
  size_t held = v.padding + feed.silence_before + feed.sound;
  if (v.started && lead_in_left == 0 && held < v.buffer / kKeptThird) {
    feed.silence_after = std::min(v.buffer / kKeptThird - held, room - feed.Frames());
  }
  feed.start = !v.started && feed.Frames() > 0;
  return feed;
}

std::optional<double> SleepAfterFeed(double held, double period) {
  double spare = held - std::max(kPeriodsLeft * period, held / 2);
  if (period <= 0 || spare + 1e-9 < kShortestSleep * period) return std::nullopt;
  return spare;
}

void PlayingWatch::Restart(double now) {
  played_ = 0;
  moved_at_ = now;
}

bool PlayingWatch::Stuck(size_t played, size_t held, double now) {
  if (played != played_ || held == 0) {
    played_ = played;
    moved_at_ = now;
  }
  return now - moved_at_ > kStalled;
}

}  // namespace quorvane::player
