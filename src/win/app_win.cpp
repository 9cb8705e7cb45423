#include "win/app_win.h"

namespace quorvane::win {

HINSTANCE AppInstance() { return GetModuleHandleW(nullptr); }

void EndProcess() { ExitProcess(0); }

}  // namespace quorvane::win
