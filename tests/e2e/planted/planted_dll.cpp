// A stranger's DLL: copied beside the program under the name of a DLL of Windows', it leaves a
// mark "<its name>.loaded" beside itself, naming the program that loaded it, as it is loaded.
#include <windows.h>

#include <string>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t path[MAX_PATH];
  wchar_t program[MAX_PATH];
  DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
  DWORD program_length = GetModuleFileNameW(nullptr, program, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return TRUE;
  std::wstring mark = std::wstring(path, length) + L".loaded";
  HANDLE file = CreateFileW(mark.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return TRUE;
  DWORD written = 0;
  WriteFile(file, program, program_length * sizeof(wchar_t), &written, nullptr);
  CloseHandle(file);
  return TRUE;
}
