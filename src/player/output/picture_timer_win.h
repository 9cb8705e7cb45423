// Tells the picture thread when the next picture falls due, to within a millisecond or so instead
// of at the next tick of the system's 15.6 ms timer: a waitable timer, which the thread waits on
// together with its messages. Windows 10 1803 and later have a high-resolution waitable timer;
// where Windows has none (7, 8.1, early 10), the system's timer period is raised to 1 ms for as
// long as pictures are shown (timeBeginPeriod, winmm from the system folder) and given back
// whenever none are (a clip's end, the display off), so that no timer of the machine runs faster
// while nothing plays. Owned by the picture thread, and used on it.
#pragma once

#include <windows.h>

#include <memory>

namespace quorvane::player {

class PictureTimer {
 public:
  virtual ~PictureTimer() = default;
  // Signalled (and reset by the wait that sees it) once when the armed time comes.
  virtual HANDLE Handle() const = 0;
  // The handle is signalled once, after seconds from now, in place of any earlier time.
  virtual void Arm(double seconds) = 0;
  // Nothing is signalled for what was armed.
  virtual void Disarm() = 0;
  // Whether pictures are being shown: a clip runs and the display is on.
  virtual void Showing(bool showing) = 0;
};

// The system's timer period, raised and given back (winmm's timeBeginPeriod, timeEndPeriod).
struct TimerPeriod {
  UINT(WINAPI* begin)(UINT) = nullptr;
  UINT(WINAPI* end)(UINT) = nullptr;
};
// winmm's, from the system folder; none where it is not there.
TimerPeriod SystemTimerPeriod();

// On a high-resolution waitable timer; nothing where Windows has none.
std::unique_ptr<PictureTimer> CreateHighResolutionTimer();
// On a waitable timer, with the timer period raised while pictures are shown.
std::unique_ptr<PictureTimer> CreateRaisedPeriodTimer(TimerPeriod period);
// The first of the two this Windows has; nothing when Windows can make neither.
std::unique_ptr<PictureTimer> CreatePictureTimer();

}  // namespace quorvane::player
