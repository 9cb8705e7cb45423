// The sound output's own thread: it opens the default device when a clip's sound is to play,
// keeps its stream fed from the device's event (the clip's sound, silence before and between),
// reads the device's position into the stream's clock, follows the device a user hears (a new
// default, a device that went away), and lets the device go when nothing is to play. It alone
// calls the device, and the resampler to the device's form is its own.
#pragma once

#include <memory>

#include "player/sound/sound_state.h"

namespace quorvane::player {

// Runs until the state asks it to stop.
void FeedSound(std::shared_ptr<SoundState> state);

}  // namespace quorvane::player
