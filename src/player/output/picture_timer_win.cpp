#include "player/output/picture_timer_win.h"

#include <mmsystem.h>

#include <algorithm>
#include <cmath>

#include "win/system_library_win.h"

namespace quorvane::player {

namespace {

// Not in every SDK's headers yet.
constexpr DWORD kHighResolutionTimer = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION

struct TimerPeriodApi {
  decltype(&::timeBeginPeriod) begin = nullptr;
  decltype(&::timeEndPeriod) end = nullptr;
};

const TimerPeriodApi* LoadTimerPeriodApi() {
  static const TimerPeriodApi api = [] {
    TimerPeriodApi found;
    win::DllFunctions(win::LoadSystemLibrary(L"winmm.dll"),
                      win::Wanted{&found.begin, "timeBeginPeriod"},
                      win::Wanted{&found.end, "timeEndPeriod"});
    return found;
  }();
  return api.begin ? &api : nullptr;
}

}  // namespace

PictureTimer::PictureTimer(HWND window, UINT message)
    : window_(window),
      message_(message),
      timer_(CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS)),
      quit_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  high_resolution_ = timer_ != nullptr;
  if (!timer_) timer_ = CreateWaitableTimerW(nullptr, FALSE, nullptr);
  if (timer_ && quit_) thread_ = std::thread([this] { Wait(); });
}

PictureTimer::~PictureTimer() {
  if (thread_.joinable()) {
    SetEvent(quit_);
    thread_.join();
  }
  RaisePeriod(false);
  if (timer_) CloseHandle(timer_);
  if (quit_) CloseHandle(quit_);
}

void PictureTimer::Arm(double seconds) {
  if (!thread_.joinable()) return;
  RaisePeriod(true);
  // Relative due times are negative, in 100 ns.
  LARGE_INTEGER due;
  due.QuadPart = -std::llround(std::max(seconds, 0.0) * 1e7) - 1;
  SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE);
}

void PictureTimer::Disarm() {
  if (timer_) CancelWaitableTimer(timer_);
  RaisePeriod(false);
}

void PictureTimer::Wait() {
  HANDLE events[] = {quit_, timer_};
  while (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
    PostMessageW(window_, message_, 0, 0);
  }
}

void PictureTimer::RaisePeriod(bool raised) {
  if (high_resolution_ || raised == period_raised_) return;
  const TimerPeriodApi* api = LoadTimerPeriodApi();
  if (!api) return;
  if (raised) {
    period_raised_ = api->begin(1) == TIMERR_NOERROR;
  } else {
    api->end(1);
    period_raised_ = false;
  }
}

}  // namespace quorvane::player
