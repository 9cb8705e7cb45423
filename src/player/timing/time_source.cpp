#include "player/timing/time_source.h"

namespace quorvane::player {

namespace {

class SteadyTime final : public TimeSource {
 public:
  TimePoint Now() const override { return std::chrono::steady_clock::now(); }
  void WaitFor(std::unique_lock<base::Mutex>& lock, base::ConditionVariable& wake,
               double seconds) override {
    wake.wait_for(lock, std::chrono::duration<double>(seconds));
  }
};

}  // namespace

std::shared_ptr<TimeSource> SystemTime() { return std::make_shared<SteadyTime>(); }

}  // namespace quorvane::player
