// Sound through the default output device with waveOut. Used by the player's worker thread
// alone.
#pragma once

#include <memory>

#include "player/timing/audio_output.h"

namespace quorvane::player {

std::unique_ptr<AudioOutput> CreateWaveOutput();

}  // namespace quorvane::player
