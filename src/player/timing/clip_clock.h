// The clip's clock: seconds from the clip's start. Started at a clip time, it runs on the system
// clock; while the clip's sound is heard, it is set to where the sound is at every look, and it
// runs on from each setting. Reading it changes nothing. Its time comes from the player's time
// source (the tests step it by hand). Not thread-safe: the player guards it with its mutex, and
// whichever of its threads follows the sound sets it.
#pragma once

#include <memory>
#include <optional>

#include "player/timing/time_source.h"

namespace quorvane::player {

class ClipClock {
 public:
  explicit ClipClock(std::shared_ptr<const TimeSource> time = SystemTime())
      : time_(std::move(time)) {}

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
  std::shared_ptr<const TimeSource> time_;
  std::optional<TimeSource::TimePoint> origin_;  // when the clip's time 0 was
};

}  // namespace quorvane::player
