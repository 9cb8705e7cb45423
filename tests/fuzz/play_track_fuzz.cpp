// Any bytes as the settings file the saver reads for a clip: the picture's geometry always comes
// out as numbers a window can take (no NaN, not negative in size), and never a crash.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/saver_settings.h"
#include "unit/support/fake_saver_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorvane;
  fakes::SaverRun run;
  run.store.file = std::string(reinterpret_cast<const char*>(data), size);
  run.component.every_clip = fakes::ScriptedClip{120, 160, 0, 1000};
  run.host.height = 768;
  run.host.width = 1024;
  run.host.time_of_day = 1234.5;
  for (int16_t index : {int16_t{0}, int16_t{100}}) {
    int16_t i = index;
    run.frm.PlayTrack(i);
    for (const auto& [call, v] : run.component.last) {
      bool extent = call == "Height" || call == "Width";
      if (std::isnan(v) || (extent && v < 0)) std::abort();
    }
  }
  if (run.frm.PlayListCount < 0 || run.frm.PlayListCount > settings::kMostPlayListEntries) {
    std::abort();
  }
  return 0;
}
