// Wakes a window when the next picture falls due, to within a millisecond or so instead of at
// the next tick of the system's 15.6 ms timer: a thread of its own waits on a high-resolution
// waitable timer (Windows 10 1803 and later) and posts the window a message. Where Windows has
// no such timer (7, 8.1, early 10), the system's timer period is raised to 1 ms while a picture
// is awaited and given back when none is (timeBeginPeriod, winmm from the system folder), so
// that no timer of the machine runs faster while nothing plays. Owned by the window, armed and
// disarmed on its thread.
#pragma once

#include <windows.h>

#include <thread>

namespace quorvane::player {

class PictureTimer {
 public:
  PictureTimer(HWND window, UINT message);
  ~PictureTimer();
  PictureTimer(const PictureTimer&) = delete;
  PictureTimer& operator=(const PictureTimer&) = delete;

  // The message comes once, after seconds from now, in place of any earlier one.
  void Arm(double seconds);
  // No message comes for what was armed.
  void Disarm();

 private:
  void Wait();
  void RaisePeriod(bool raised);

  HWND window_;
  UINT message_;
  HANDLE timer_ = nullptr;
  HANDLE quit_ = nullptr;
  bool high_resolution_ = false;
  bool period_raised_ = false;
  std::thread thread_;
};

}  // namespace quorvane::player
