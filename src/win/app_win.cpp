#include "win/app_win.h"

namespace quorvane::win {

HINSTANCE AppInstance() { return GetModuleHandleW(nullptr); }

void EndProcess() {
  // Outright: no library shutdown runs (a sound driver's can take seconds), and the player's
  // threads go with the process. Files are closed by then.
  TerminateProcess(GetCurrentProcess(), 0);
  // TerminateProcess returns only when it fails; ExitProcess, which never returns, then ends
  // the process all the same, the slower way.
  ExitProcess(0);
}

}  // namespace quorvane::win
