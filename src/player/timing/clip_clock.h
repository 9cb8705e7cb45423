// The clip's clock: seconds from the clip's start. Started at a clip time, it runs on the system
// clock; while the clip's sound plays, the player's worker sets it to the sound device's
// position now and then, and it runs on from each setting. Reading it changes nothing. The time
// source can be given (the tests step it by hand). Not thread-safe: the player guards it with
// its mutex (the worker sets it, both threads read it).
#pragma once

#include <chrono>
#include <functional>
#include <optional>

namespace quorvane::player {

class ClipClock {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;
  using TimeSource = std::function<TimePoint()>;

  explicit ClipClock(TimeSource now = &std::chrono::steady_clock::now) : now_(std::move(now)) {}

  bool Running() const { return origin_.has_value(); }
  // No clip: the clock stands until started again.
  void Stop() { origin_.reset(); }
  // Starts the clock at this clip time now, unless it runs already.
  void StartAt(double seconds);
  // The clip time is this now, whatever it was (the device's position).
  void Set(double seconds);
  // The clip time now; 0 while the clock does not run.
  double Seconds() const;

 private:
  TimeSource now_;
  std::optional<TimePoint> origin_;  // when the clip's time 0 was
};

}  // namespace quorvane::player
