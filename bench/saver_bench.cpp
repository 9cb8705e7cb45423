// Measures the real saver under Wine: the time from an input to the end of its process, with a
// clip playing and with an empty playlist. (Its processor share is read from the Linux side by
// scripts/bench: Wine does not report another process's times.) Prints one line with its target.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "support/support.h"

namespace quorvane::e2e {
namespace {

std::string ClipLine(const wchar_t* name) {
  return "PlayList =" + Ansi(ClipsFolder() + L"\\" + name) + "\r\n";
}

// Starts the saver on these settings, lets it run, and returns the milliseconds from a key
// press to the end of its process.
double ExitMs(const std::string& settings) {
  ProgramFolder folder(L"quorvane-bench");
  folder.WriteSettings(settings);
  Process saver(folder.Scr(), L"/s");
  HWND window = saver.WaitForWindow(L"QuorvaneSaver", L"Form1", 15000);
  if (!window) return -1;
  std::this_thread::sleep_for(std::chrono::seconds(3));  // a clip under way
  auto input = std::chrono::steady_clock::now();
  PostKey(window, VK_SPACE);
  if (!saver.WaitForExit(10000)) return -1;
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - input)
      .count();
}

// Milliseconds from starting the program to its black window on screen; the best of a few runs.
double StartMs(const std::wstring& exe, const std::wstring& arguments,
               const wchar_t* window_class) {
  double best = -1;
  for (int run = 0; run < 5; ++run) {
    auto start = std::chrono::steady_clock::now();
    Process program(exe, arguments);
    if (!program.WaitForWindow(window_class, L"", 15000)) return -1;
    double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (best < 0 || ms < best) best = ms;
  }
  return best;
}

// The minimal program beside this one.
std::wstring MinimalWindowPath() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self);
  return path.substr(0, path.find_last_of(L'\\') + 1) + Widen(QUORVANE_MINIMAL_WINDOW);
}

}  // namespace
}  // namespace quorvane::e2e

int main() {
  using namespace quorvane::e2e;
  std::string options = "SizeSel  =2\r\nPosSel   =1\r\n";
  double playing = ExitMs(options + ClipLine(L"bench.rm"));
  double idle = ExitMs(options);
  std::printf("saver input to end of process: %.0f ms playing, %.0f ms idle (target < 100 ms)\n",
              playing, idle);
  ProgramFolder folder(L"quorvane-start");
  double saver = StartMs(folder.Scr(), L"/s", L"QuorvaneSaver");
  double minimal = StartMs(MinimalWindowPath(), L"", L"MinimalWindow");
  std::printf(
      "saver start-up to its black window: %.0f ms, a minimal Win32 program %.0f ms: %.2fx "
      "(target < 2x)\n",
      saver, minimal, minimal > 0 ? saver / minimal : 0.0);
  return playing < 0 || idle < 0 ? 1 : 0;
}
