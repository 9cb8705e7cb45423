// The saver's host for the unit tests and fuzz targets: a window of a given size, a clock and a
// time of day set by hand, every window and system call logged, and event processing that moves
// the scripted component on and may fire the saver's handlers. SaverRun is a whole saver over
// these doubles.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "saver/frm_main.h"
#include "saver/saver_host.h"
#include "unit/support/fake_playback_component.h"
#include "unit/support/fake_settings_store.h"

namespace quorvane::fakes {

class FakeSaverHost final : public saver::SaverHost {
 public:
  explicit FakeSaverHost(FakePlaybackComponent& component) : component_(component) {}
  std::vector<std::string> log;
  // Called on every event processing with the pass number; may fire the saver's handlers.
  std::function<void(int)> on_events;
  float height = 600, width = 800;
  bool screen_saver_active = true;
  double time_of_day = 1000;
  uint64_t now_ms = 0;
  int passes = 0;
  int waited_ms = 0;
  bool ended = false;
  // An input arrives at this moment: a wait for events ends then.
  std::optional<uint64_t> input_at_ms;

  void Show() override { log.push_back("Show"); }
  void Refresh() override { log.push_back("Refresh"); }
  void Cls() override { log.push_back("Cls"); }
  void Hide() override { log.push_back("Hide"); }
  float ScaleHeight() override { return height; }
  float ScaleWidth() override { return width; }
  void DoEvents() override {
    ++passes;
    ++now_ms;
    component_.Pass();
    if (on_events) on_events(passes);
    // A run that never ends is a fault in the saver; stop it rather than hang the test.
    if (passes > 200000) {
      std::fputs("the saver's run does not end\n", stderr);
      std::abort();
    }
  }
  void WaitForEvents(int timeout_ms) override {
    uint64_t until = now_ms + static_cast<uint64_t>(timeout_ms);
    if (input_at_ms && *input_at_ms > now_ms) until = std::min(until, *input_at_ms);
    waited_ms += static_cast<int>(until - now_ms);
    now_ms = until;
  }
  bool ScreenSaverActive() override { return screen_saver_active; }
  void SetScreenSaverActive(bool active) override {
    screen_saver_active = active;
    log.push_back(active ? "SaverActive" : "SaverInactive");
  }
  void ShowCursor(bool show) override { log.push_back(show ? "CursorShown" : "CursorHidden"); }
  double TimeOfDay() override { return time_of_day; }
  uint64_t NowMs() override { return now_ms; }
  void EndProcess() override {
    ended = true;
    log.push_back("End");
  }

 private:
  FakePlaybackComponent& component_;
};

struct SaverRun {
  FakePlaybackComponent component;
  FakeSettingsStore store;
  FakeSaverHost host{component};
  saver::FrmMain frm{host, component, store};
};

}  // namespace quorvane::fakes
