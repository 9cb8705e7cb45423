#include "player/output/wave_api_win.h"

#include <optional>

#include "win/system_library_win.h"

namespace quorvane::player {

namespace {

std::optional<WaveApi> Load() {
  WaveApi api{};
  bool found = win::DllFunctions(
      win::LoadSystemLibrary(L"winmm.dll"), win::Wanted{&api.open, "waveOutOpen"},
      win::Wanted{&api.prepare, "waveOutPrepareHeader"},
      win::Wanted{&api.unprepare, "waveOutUnprepareHeader"},
      win::Wanted{&api.write, "waveOutWrite"}, win::Wanted{&api.reset, "waveOutReset"},
      win::Wanted{&api.close, "waveOutClose"}, win::Wanted{&api.position, "waveOutGetPosition"});
  return found ? std::optional<WaveApi>(api) : std::nullopt;
}

}  // namespace

const WaveApi* LoadWaveApi() {
  // The DLL stays loaded for the life of the process, as an import would.
  static const std::optional<WaveApi> api = Load();
  return api ? &*api : nullptr;
}

}  // namespace quorvane::player
