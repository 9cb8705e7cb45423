#include "win/thread_name_win.h"

#include <windows.h>

#include "win/system_library_win.h"

namespace quorvane::win {

void NameThisThread(const wchar_t* name) {
  // kernel32 is loaded in every process, and is a KnownDLL.
  using SetDescription = HRESULT(WINAPI*)(HANDLE, PCWSTR);
  static const auto set =
      DllFunction<SetDescription>(GetModuleHandleW(L"kernel32.dll"), "SetThreadDescription");
  if (set) set(GetCurrentThread(), name);
}

}  // namespace quorvane::win
