#include "player/output/picture_timer_win.h"

#include <mmsystem.h>

#include <algorithm>
#include <cmath>
#include <thread>

#include "win/system_library_win.h"
#include "win/thread_name_win.h"

namespace quorvane::player {

namespace {

// Not in every SDK's headers yet.
constexpr DWORD kHighResolutionTimer = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION

class WaitablePictureTimer final : public PictureTimer {
 public:
  // Takes the timer; with a period, raises it while pictures are shown.
  WaitablePictureTimer(HWND window, UINT message, HANDLE timer, TimerPeriod period)
      : window_(window),
        message_(message),
        timer_(timer),
        quit_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        period_(period) {
    if (quit_) thread_ = std::thread([this] { Wait(); });
  }

  ~WaitablePictureTimer() override {
    if (thread_.joinable()) {
      SetEvent(quit_);
      thread_.join();
    }
    Showing(false);
    CloseHandle(timer_);
    if (quit_) CloseHandle(quit_);
  }

  void Arm(double seconds) override {
    if (!thread_.joinable()) return;
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
  void Wait() {
    win::NameThisThread(L"quorvane_timer");
    HANDLE events[] = {quit_, timer_};
    while (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
      PostMessageW(window_, message_, 0, 0);
    }
  }

  HWND window_;
  UINT message_;
  HANDLE timer_;
  HANDLE quit_;
  TimerPeriod period_;
  bool raised_ = false;
  std::thread thread_;
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

std::unique_ptr<PictureTimer> CreateHighResolutionTimer(HWND window, UINT message) {
  HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
  if (!timer) return nullptr;
  return std::make_unique<WaitablePictureTimer>(window, message, timer, TimerPeriod{});
}

std::unique_ptr<PictureTimer> CreateRaisedPeriodTimer(HWND window, UINT message,
                                                      TimerPeriod period) {
  HANDLE timer = CreateWaitableTimerW(nullptr, FALSE, nullptr);
  if (!timer) return nullptr;
  return std::make_unique<WaitablePictureTimer>(window, message, timer, period);
}

std::unique_ptr<PictureTimer> CreatePictureTimer(HWND window, UINT message) {
  if (auto timer = CreateHighResolutionTimer(window, message)) return timer;
  return CreateRaisedPeriodTimer(window, message, SystemTimerPeriod());
}

}  // namespace quorvane::player
