#include "player/output/wave_api_win.h"

#include <optional>

#include "win/system_library_win.h"

namespace quorvane::player {

namespace {

std::optional<WaveApi> Load() {
  HMODULE winmm = win::LoadSystemLibrary(L"winmm.dll");
  if (!winmm) return std::nullopt;
  WaveApi api{
      win::DllFunction<decltype(WaveApi::open)>(winmm, "waveOutOpen"),
      win::DllFunction<decltype(WaveApi::prepare)>(winmm, "waveOutPrepareHeader"),
      win::DllFunction<decltype(WaveApi::unprepare)>(winmm, "waveOutUnprepareHeader"),
      win::DllFunction<decltype(WaveApi::write)>(winmm, "waveOutWrite"),
      win::DllFunction<decltype(WaveApi::reset)>(winmm, "waveOutReset"),
      win::DllFunction<decltype(WaveApi::close)>(winmm, "waveOutClose"),
      win::DllFunction<decltype(WaveApi::position)>(winmm, "waveOutGetPosition"),
  };
  bool complete = api.open && api.prepare && api.unprepare && api.write && api.reset && api.close &&
                  api.position;
  return complete ? std::optional<WaveApi>(api) : std::nullopt;
}

}  // namespace

const WaveApi* LoadWaveApi() {
  // The DLL stays loaded for the life of the process, as an import would.
  static const std::optional<WaveApi> api = Load();
  return api ? &*api : nullptr;
}

}  // namespace quorvane::player
