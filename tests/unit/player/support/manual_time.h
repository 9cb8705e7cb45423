// Time for a player under test: a clock the test steps by hand, so that a clip plays at its own
// pace in clip time however fast or slow the machine, and no test waits on the wall clock for it.
// Time moves only when the test says, and the test says so only once the player's threads all
// wait for it (RunUntil): what they do between two steps takes no time at all.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "base/locks.h"
#include "player/timing/time_source.h"

namespace quorvane::player::testing {

// Something happened that a test may be waiting for: the player's changed call, a thread that
// starts waiting for time, a read of a file. The longest real time a test waits for one.
constexpr std::chrono::seconds kPatience{20};

class Signal {
 public:
  void Notify();
  // Waits, up to limit, until condition holds; looks again at every Notify, and now and then
  // for what notifies nobody.
  bool Until(const std::function<bool()>& condition,
             std::chrono::milliseconds limit = kPatience) const;

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  uint64_t events_ = 0;
};

class ManualTime final : public TimeSource {
 public:
  TimePoint Now() const override;
  void WaitFor(std::unique_lock<base::Mutex>& lock, base::ConditionVariable& wake,
               double seconds) override;

  // Moves the time on and wakes every thread that waits for time.
  void Advance(double seconds);
  // Seconds moved on since the clock was made.
  double Elapsed() const;
  // Threads waiting for time now; the ones the last step woke no longer count.
  int Sleepers() const;
  // The shortest wait a thread asked for since ForgetWaits: how soon it meant to wake by itself.
  double ShortestWait() const;
  void ForgetWaits();

  // Steps time by step whenever threads are waiting for it, until condition holds (true), or
  // most seconds of clip time, or kPatience of real time without either, have passed (false).
  // Between steps, before_step runs (a window taking its due picture).
  bool RunUntil(const std::function<bool()>& condition, double step, double most,
                const std::function<void()>& before_step = {});

  // Notified whenever a thread starts waiting for time; the player's changed call may notify
  // it too.
  Signal& Events() { return events_; }

 private:
  struct Waiter {
    base::Mutex* mutex;
    base::ConditionVariable* wake;
    uint64_t id;
  };

  mutable std::mutex mutex_;
  std::chrono::steady_clock::duration elapsed_{};
  std::vector<Waiter> waiters_;
  uint64_t next_id_ = 0;
  double shortest_wait_ = 1e300;
  Signal events_;
};

}  // namespace quorvane::player::testing
