// Measures the Win32 playback component under Wine: the share of one core this process takes
// while the component shows a 320 x 240 15 fps clip, at its own size and at x1.5, with the host
// waiting for its next message or the component's next change as the saver does.
//   player_window_bench [seconds]   (the clip is QUORVANE_CLIPS\bench.rm; 10 s by default)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "player/output/playback_window_win.h"

namespace quorvane::player {
namespace {

double ProcessCpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& t) {
    ULARGE_INTEGER value;
    value.LowPart = t.dwLowDateTime;
    value.HighPart = t.dwHighDateTime;
    return static_cast<double>(value.QuadPart) * 1e-7;
  };
  return seconds(kernel) + seconds(user);
}

// Processes messages for this long, waking for each message or change of the component.
void Pump(const PlaybackWindow& component, double seconds) {
  ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  HANDLE wake = component.WakeEvent();
  while (GetTickCount64() < end) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    MsgWaitForMultipleObjects(1, &wake, FALSE, 67, QS_ALLINPUT);
  }
}

// The share in per cent, or a negative number when the clip did not play.
double Share(HWND host, const std::string& clip, int width, int height, double seconds) {
  std::unique_ptr<PlaybackWindow> component =
      CreatePlaybackWindow(host, 1, RECT{0, 0, width, height}, true);
  if (!component) return -1;
  component->SetSource(clip);
  Pump(*component, 2);  // past the opening
  if (component->ClipHeight() != 240 || component->PlayState() == kPlayStateIdle) return -1;
  ULONGLONG start = GetTickCount64();
  double cpu = ProcessCpuSeconds();
  Pump(*component, seconds);
  double used = ProcessCpuSeconds() - cpu;
  double elapsed = static_cast<double>(GetTickCount64() - start) / 1000;
  return component->PlayState() == kPlayStateIdle ? -1 : 100 * used / elapsed;
}

}  // namespace
}  // namespace quorvane::player

int main(int argc, char** argv) {
  using namespace quorvane::player;
  const char* clips = std::getenv("QUORVANE_CLIPS");
  double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
  if (!clips || seconds <= 0) {
    std::fprintf(stderr, "usage: QUORVANE_CLIPS=<folder> player_window_bench [seconds]\n");
    return 2;
  }
  std::string clip = std::string(clips) + "\\bench.rm";
  HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  struct Size {
    int width, height;
    const char* label;
  } sizes[] = {{320, 240, "at its own size"}, {480, 360, "at x1.5"}};
  int status = 0;
  for (const Size& size : sizes) {
    double share = Share(host, clip, size.width, size.height, seconds);
    if (share < 0) {
      std::printf("player component: %s did not play %s\n", clip.c_str(), size.label);
      status = 1;
      continue;
    }
    std::printf(
        "player component CPU share of one core under Wine, 320 x 240 15 fps clip shown %s, "
        "over %.0f s: %.2f %% (target < 5 %%)\n",
        size.label, seconds, share);
  }
  DestroyWindow(host);
  return status;
}
