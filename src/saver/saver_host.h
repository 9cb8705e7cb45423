// What the saver window needs of the platform: its own window operations, event processing,
// the system's screen-saver flag and pointer, its size, the clock and ending the process.
// The Win32 window implements it; the tests script it.
#pragma once

#include <cstdint>

namespace quorvane::saver {

class SaverHost {
 public:
  virtual ~SaverHost() = default;

  // The window's own operations.
  virtual void Show() = 0;
  virtual void Refresh() = 0;
  virtual void Cls() = 0;
  virtual void Hide() = 0;
  // Inner size of the window in its unit (pixels).
  virtual float ScaleHeight() = 0;
  virtual float ScaleWidth() = 0;

  // Runs the handlers of every pending event, then returns.
  virtual void DoEvents() = 0;
  // Returns when an event is pending, the component signals a change, or after timeout_ms.
  virtual void WaitForEvents(int timeout_ms) = 0;

  virtual bool ScreenSaverActive() = 0;
  virtual void SetScreenSaverActive(bool active) = 0;
  virtual void ShowCursor(bool show) = 0;

  // Seconds since midnight, local time (reseeds the random placement).
  virtual double TimeOfDay() = 0;
  // A steady clock in milliseconds.
  virtual uint64_t NowMs() = 0;

  // Ends the process. The real host never returns; a test host records it and returns.
  virtual void EndProcess() = 0;
};

}  // namespace quorvane::saver
