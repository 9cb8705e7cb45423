#include "player/output/picture_timer_win.h"

#include <mmsystem.h>

#include <algorithm>
#include <cmath>

#include "win/system_library_win.h"

namespace quorvane::player {

namespace {

// Not in every SDK's headers yet.
constexpr DWORD kHighResolutionTimer = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION

class WaitablePictureTimer final : public PictureTimer {
 public:
  // Takes the timer (an auto-reset one); with a period, raises it while pictures are shown.
  WaitablePictureTimer(HANDLE timer, TimerPeriod period) : timer_(timer), period_(period) {}

  ~WaitablePictureTimer() override {
    Showing(false);
    CloseHandle(timer_);
  }

  HANDLE Handle() const override { return timer_; }

  void Arm(double seconds) override {
    // Relative due times are negative, in 100 ns.
    LARGE_INTEGER due;
    due.QuadPart = -std::llround(std::max(seconds, 0.0) * 1e7) - 1;
    SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE);
  }

  void Disarm() override { CancelWaitableTimer(timer_); }

  void Showing(bool showing) override {
    if (!period_.begin || showing == raised_) return;
    if (showing) {
      raised_ = period_.begin(1) == TIMERR_NOERROR;
    } else {
      period_.end(1);
      raised_ = false;
    }
  }

 private:
  HANDLE timer_;
  TimerPeriod period_;
  bool raised_ = false;
};

}  // namespace

TimerPeriod SystemTimerPeriod() {
  static const TimerPeriod period = [] {
    TimerPeriod found;
    win::DllFunctions(win::LoadSystemLibrary(L"winmm.dll"),
                      win::Wanted{&found.begin, "timeBeginPeriod"},
                      win::Wanted{&found.end, "timeEndPeriod"});
    return found;
  }();
  return period;
}

std::unique_ptr<PictureTimer> CreateHighResolutionTimer() {
  HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
  if (!timer) return nullptr;
  return std::make_unique<WaitablePictureTimer>(timer, TimerPeriod{});
}

std::unique_ptr<PictureTimer> CreateRaisedPeriodTimer(TimerPeriod period) {
  HANDLE timer = CreateWaitableTimerW(nullptr, FALSE, nullptr);
  if (!timer) return nullptr;
  return std::make_unique<WaitablePictureTimer>(timer, period);
}

std::unique_ptr<PictureTimer> CreatePictureTimer() {
  if (auto timer = CreateHighResolutionTimer()) return timer;
  return CreateRaisedPeriodTimer(SystemTimerPeriod());
}

}  // namespace quorvane::player
