#include "win/system_library_win.h"

#include <string>

namespace quorvane::win {

void RestrictDllSearchToSystemFolder() {
  // Windows 8 on, and Windows 7 with update KB2533623, have it; kernel32 is always loaded.
  auto set_default = DllFunction<BOOL(WINAPI*)(DWORD)>(GetModuleHandleW(L"kernel32.dll"),
                                                       "SetDefaultDllDirectories");
  if (!set_default || !set_default(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::wstring path = std::wstring(folder, length) + L"\\" + name;
  // By its full path; the DLLs it needs in turn are looked for beside it, in the system folder.
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace quorvane::win
