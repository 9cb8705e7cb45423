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
  if (stream_open && !failed && since > 0 && now - since > kStalled) DeviceLost(now);
  if (SoundWanted()) wanted_at = now;
  if (route != Route::kClock || resting || !SoundWanted()) return;
  int64_t played = queue.FrameAt(PlaceWithoutDevice(now));
  queue.Heard(std::min(played, queue.Written()));
  queue.GiveFrom(played);
  if (queue.Ended() && played >= queue.Written()) {
    over = true;
    changed.notify_all();
  } else if (RoomForWriter()) {
    changed.notify_all();
  }
}

double SoundState::StreamOpened(double now) {
  open_now = false;
  flush = false;
  stream_open = true;
  failed = false;
  device_clock = DeviceClock();
  // The sound starts where the clip is: where a rest stopped it, where the system's clock has
  // taken it (plus the silence before it, so that its time runs on), or where it was given.
  double place = PlaceWithoutDevice(now);
  if (!rest_place && route == Route::kClock) place += kLeadIn;
  rest_place.reset();
  route = Route::kDevice;
  return place;
}

void SoundState::OpenFailed(double now) {
  open_now = false;
  // The clip goes on without sound, by the system's clock, from where it was.
  if (route == Route::kDevice) RouteToClock(now, PlaceWithoutDevice(now));
  rest_place.reset();
}

void SoundState::StreamClosed(double now) {
  if (SoundWanted() && route == Route::kDevice) {
    // Where it was heard; before its first sound, or without a reading, the first frame not
    // known to be heard.
    double kept = queue.Seconds(static_cast<double>(queue.First()));
    double place = std::max(device_clock.ClipSeconds(now).value_or(kept), kept);
    if (resting) {
      rest_place = place;  // the clip stands where it was heard until the rest ends
    } else {
      RouteToClock(now, place);
    }
  }
  stream_open = false;
  device_clock = DeviceClock();
}

void SoundState::DeviceLost(double now) {
  failed = true;
  if (SoundWanted() && route == Route::kDevice) {
    RouteToClock(now, device_clock.ClipSeconds(now).value_or(0));
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
