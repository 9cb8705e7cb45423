#include "support/manual_time.h"

#include <algorithm>

namespace quorvane::player::testing {

namespace {

// How often Until looks at a condition that nobody notifies about.
constexpr std::chrono::milliseconds kLookAgain{2};
// The longest a thread waits for time in real time before it looks again at what it waits for:
// a device's Write, woken by nothing when its clip is replaced, must still see that it was.
constexpr std::chrono::milliseconds kLongestRealWait{10};

}  // namespace

void Signal::Notify() {
  {
    std::lock_guard lock(mutex_);
    ++events_;
  }
  changed_.notify_all();
}

bool Signal::Until(const std::function<bool()>& condition, std::chrono::milliseconds limit) const {
  auto end = std::chrono::steady_clock::now() + limit;
  std::unique_lock lock(mutex_);
  for (;;) {
    lock.unlock();
    bool holds = condition();
    lock.lock();
    if (holds) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    uint64_t seen = events_;
    changed_.wait_for(lock, kLookAgain, [&] { return events_ != seen; });
  }
}

TimeSource::TimePoint ManualTime::Now() const {
  std::lock_guard lock(mutex_);
  return TimePoint() + elapsed_;
}

void ManualTime::WaitFor(std::unique_lock<base::Mutex>& lock, base::ConditionVariable& wake,
                         double seconds) {
  if (seconds <= 0) return;
  uint64_t id;
  {
    std::lock_guard guard(mutex_);
    id = ++next_id_;
    waiters_.push_back({lock.mutex(), &wake, id});
    shortest_wait_ = std::min(shortest_wait_, seconds);
  }
  events_.Notify();
  // Woken by a step of time, or by the player itself (a picture taken, a new source). The
  // caller holds lock until the wait begins, so a step cannot slip in between.
  wake.wait_for(lock, kLongestRealWait);
  std::lock_guard guard(mutex_);
  std::erase_if(waiters_, [id](const Waiter& w) { return w.id == id; });
}

void ManualTime::Advance(double seconds) {
  std::vector<Waiter> woken;
  {
    std::lock_guard lock(mutex_);
    elapsed_ += std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(seconds));
    woken.swap(waiters_);
  }
  for (const Waiter& waiter : woken) {
    std::lock_guard lock(*waiter.mutex);
    waiter.wake->notify_all();
  }
}

double ManualTime::Elapsed() const {
  std::lock_guard lock(mutex_);
  return std::chrono::duration<double>(elapsed_).count();
}

int ManualTime::Sleepers() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(waiters_.size());
}

double ManualTime::ShortestWait() const {
  std::lock_guard lock(mutex_);
  return shortest_wait_;
}

void ManualTime::ForgetWaits() {
  std::lock_guard lock(mutex_);
  shortest_wait_ = 1e300;
}

bool ManualTime::RunUntil(const std::function<bool()>& condition, double step, double most,
                          const std::function<void()>& before_step) {
  double until = Elapsed() + most;
  for (;;) {
    if (before_step) before_step();
    if (condition()) return true;
    if (Elapsed() >= until) return false;
    if (!events_.Until([&] { return condition() || Sleepers() > 0; })) return false;
    if (!condition()) Advance(step);
  }
}

}  // namespace quorvane::player::testing
