#include "player/sound/sound_state.h"

#include <algorithm>

namespace quorvane::player {

HeardSound SoundState::Heard(double now) {
  Settle(now);
  if (!SoundWanted()) return {};
  if (resting) return {HeardSound::State::kWaiting};
  if (route == Route::kClock) return {};
  if (std::optional<double> seconds = device_clock.ClipSeconds(now)) {
    heard = true;
    return {HeardSound::State::kHeard, *seconds};
  }
  // Between two devices the clip's time runs on by the system's clock.
  return {heard ? HeardSound::State::kNone : HeardSound::State::kWaiting};
}

void SoundState::Settle(double now) {
  double since = calling_since.load();
  if (stream_open && !failed && since > 0 && now - since > kStalled) {
    failed = true;
    if (route == Route::kDevice) RouteToClock(now, device_clock.ClipSeconds(now).value_or(0));
  }
  if (SoundWanted()) wanted_at = now;
  if (route != Route::kClock || resting || !SoundWanted()) return;
  int64_t played = queue.FrameAt(PlaceWithoutDevice(now));
  queue.Heard(std::min(played, queue.Written()));
  queue.GiveFrom(played);
  if (queue.Ended() && played >= queue.Written()) {
    over = true;
    changed.notify_all();
  } else if (writer_waiting) {
    changed.notify_all();
  }
}

void SoundState::RouteToClock(double now, double place) {
  route = Route::kClock;
  clock_place = std::max(place, 0.0);
  clock_at = now;
}

double SoundState::PlaceWithoutDevice(double now) const {
  if (rest_place) return *rest_place;
  if (route == Route::kClock) return clock_place + (now - clock_at);
  return queue.Seconds(static_cast<double>(queue.Given()));
}

}  // namespace quorvane::player
