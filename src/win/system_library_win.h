// Where the program's DLLs come from. Windows looks for a DLL beside the program before its own
// folder unless told otherwise, and a .scr is started from wherever it was saved: a Downloads
// folder or a share may hold someone else's "winmm.dll". So the program imports only DLLs
// that Windows always takes from its own folder (its KnownDLLs) and loads every other one here,
// from the system folder by its full path, when it first needs it.
#pragma once

#include <windows.h>

namespace quorvane::win {

// First thing at the start: every later load of a DLL by name searches the system folder alone
// (where Windows has no such call, the current folder at least leaves the search).
void RestrictDllSearchToSystemFolder();

// The DLL of this name from Windows' system folder, or nullptr when it is not there.
HMODULE LoadSystemLibrary(const wchar_t* name);

// A function of a loaded DLL, or nullptr (no DLL, or a Windows without that function).
template <typename Function>
Function DllFunction(HMODULE dll, const char* name) {
  FARPROC found = dll ? GetProcAddress(dll, name) : nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

// A function of the DLL by name, for DllFunctions.
template <typename Function>
struct Wanted {
  Function* into;
  const char* name;
};

// Fills in every wanted function of the DLL, or none: true only when every one was there (a
// caller never holds half of a set of functions that work together).
template <typename... Functions>
bool DllFunctions(HMODULE dll, Wanted<Functions>... wanted) {
  bool all = dll && ((*wanted.into = DllFunction<Functions>(dll, wanted.name)) && ...);
  if (!all) ((*wanted.into = nullptr), ...);
  return all;
}

}  // namespace quorvane::win
