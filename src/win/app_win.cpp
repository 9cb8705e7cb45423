#include "win/app_win.h"

#include <cstring>

namespace quorvane::win {

namespace {

// Wine on Linux says so through ntdll, which Windows' own does not export.
bool UnderWineOnLinux() {
  using HostVersion = void(__cdecl*)(const char** sysname, const char** release);
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  auto host_version = ntdll ? reinterpret_cast<HostVersion>(reinterpret_cast<void*>(
                                  GetProcAddress(ntdll, "wine_get_host_version")))
                            : nullptr;
  if (!host_version) return false;
  const char* sysname = nullptr;
  const char* release = nullptr;
  host_version(&sysname, &release);
  return sysname && std::strcmp(sysname, "Linux") == 0;
}

// Linux's exit_group, called directly: every thread ends at once, wherever it is.
void LinuxExitGroup() {
#if defined(__x86_64__)
  asm volatile("syscall" : : "a"(231L), "D"(0L) : "rcx", "r11", "memory");
#elif defined(__i386__)
  asm volatile("int $0x80" : : "a"(252), "b"(0) : "memory");
#endif
}

}  // namespace

HINSTANCE AppInstance() { return GetModuleHandleW(nullptr); }

void EndProcess() {
  // Outright: no library shutdown runs (the sound driver's can take seconds), and the player's
  // worker thread goes with the process. Files are closed by then.
  //
  // Under Wine on Linux, TerminateProcess first has Wine stop each other thread where it is; its
  // sound driver's timer thread, waiting on a sound server that does not answer, can die of a
  // fault as it is stopped, and the process then ends by that signal instead of with 0. The
  // kernel's exit_group ends every thread at once, as Wine itself would a moment later; Wine's
  // server sees the process go with exit code 0.
  if (UnderWineOnLinux()) LinuxExitGroup();
  TerminateProcess(GetCurrentProcess(), 0);
  // TerminateProcess returns only when it fails; ExitProcess, which never returns, then ends
  // the process all the same, the slower way.
  ExitProcess(0);
}

}  // namespace quorvane::win
