// Any bytes as the settings file the saver reads for a clip: the picture's geometry always comes
// out as numbers a window can take (no NaN, not negative in size), and never a crash.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "saver/frm_main.h"
#include "settings/saver_settings.h"

namespace {

using namespace quorvane;

class Store final : public settings::SettingsStore {
 public:
  std::string text;
  std::optional<std::string> Load() override { return text; }
  std::string Replace(std::string_view) override { return "no"; }
  std::string Location() const override { return ""; }
};

class Component final : public player::PlaybackComponent {
 public:
  void SetSource(const std::string&) override {}
  int32_t PlayState() const override { return player::kPlayStatePlaying; }
  int32_t ClipHeight() const override { return 120; }
  int32_t ClipWidth() const override { return 160; }
  void SetHeight(float v) override { Check(v, true); }
  void SetWidth(float v) override { Check(v, true); }
  void SetTop(float v) override { Check(v, false); }
  void SetLeft(float v) override { Check(v, false); }
  void SetVisible(bool) override {}
  void SetNoticeHandler(NoticeHandler) override {}
  static void Check(float v, bool size) {
    if (std::isnan(v) || (size && v < 0)) std::abort();
  }
};

class Host final : public saver::SaverHost {
 public:
  void Show() override {}
  void Refresh() override {}
  void Cls() override {}
  void Hide() override {}
  float ScaleHeight() override { return 768; }
  float ScaleWidth() override { return 1024; }
  void DoEvents() override {}
  void WaitForEvents(int) override {}
  bool ScreenSaverActive() override { return true; }
  void SetScreenSaverActive(bool) override {}
  void ShowCursor(bool) override {}
  double TimeOfDay() override { return 1234.5; }
  uint64_t NowMs() override { return 0; }
  void EndProcess() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Store store;
  store.text.assign(reinterpret_cast<const char*>(data), size);
  Component component;
  Host host;
  saver::FrmMain frm(host, component, store);
  for (int16_t index : {int16_t{0}, int16_t{100}}) {
    int16_t i = index;
    frm.PlayTrack(i);
  }
  if (frm.PlayListCount < 0 || frm.PlayListCount > settings::kMostPlayListEntries) std::abort();
  return 0;
}
