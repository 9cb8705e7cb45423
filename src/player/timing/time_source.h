// Where the player's time comes from, and how its worker waits for time to pass: the system's
// steady clock, or in tests a clock they step by hand, so that they never wait on the wall
// clock for a clip to play.
#pragma once

#include <chrono>
#include <memory>
#include <mutex>

#include "base/locks.h"

namespace quorvane::player {

class TimeSource {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;

  virtual ~TimeSource() = default;
  virtual TimePoint Now() const = 0;
  // Waits on wake (lock held on entry and on return) until it is notified or seconds of this
  // source's time have passed. It may return earlier: callers look again at what they wait for.
  virtual void WaitFor(std::unique_lock<base::Mutex>& lock, base::ConditionVariable& wake,
                       double seconds) = 0;
};

// The system's steady clock.
std::shared_ptr<TimeSource> SystemTime();

}  // namespace quorvane::player
