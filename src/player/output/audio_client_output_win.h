// Sound through the default output device's audio client (WASAPI, shared mode). The device
// holds about 30 ms, kept full from its event by a thread of the output's own at the priority
// Windows gives sound, from a queue the player's worker fills; sound is converted to the
// device's mix format on the way in. The device's position, as it reports it, is the clock the
// pictures follow: a short silence comes before each clip's sound, so that the position is
// moving, and known, by the time its first sound is heard.
//
// Threads: the player's worker calls everything but PlayedSeconds, which any thread may ask
// (it reads the output's model of the position and never waits on the device). Only the
// output's own thread talks to the device once it has started, and never while holding the
// lock the others take, so a device that stops answering holds up nobody else.
#pragma once

#include <memory>

#include "player/sound/audio_output.h"

namespace quorvane::player {

std::unique_ptr<AudioOutput> CreateAudioClientOutput();

}  // namespace quorvane::player
