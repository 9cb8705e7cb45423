// Sound through the default output device with waveOut. Fed by the player's worker thread;
// its position is also read by the user-interface thread.
#pragma once

#include <memory>

#include "player/audio_output.h"

namespace quorvane::player {

std::unique_ptr<AudioOutput> CreateWaveOutput();

}  // namespace quorvane::player
