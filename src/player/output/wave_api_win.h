// The waveOut functions of winmm.dll, which is none of the DLLs Windows always takes from its
// own folder: imported directly, a winmm.dll beside the program would be loaded in its place.
// So it is loaded from the system folder when the first clip with sound starts; without it,
// or without one of its functions, clips play as they do without a sound device.
#pragma once

#include <windows.h>
// mmsystem.h needs windows.h first.
#include <mmsystem.h>

namespace quorvane::player {

struct WaveApi {
  decltype(&::waveOutOpen) open;
  decltype(&::waveOutPrepareHeader) prepare;
  decltype(&::waveOutUnprepareHeader) unprepare;
  decltype(&::waveOutWrite) write;
  decltype(&::waveOutReset) reset;
  decltype(&::waveOutClose) close;
  decltype(&::waveOutGetPosition) position;
};

// The functions, or nullptr when winmm or one of them is missing. Loaded once, on first use,
// from whichever thread asks first.
const WaveApi* LoadWaveApi();

}  // namespace quorvane::player
