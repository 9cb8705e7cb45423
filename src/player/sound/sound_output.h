// The sound output: clips' sound played through a device layer (SoundDevices) by a thread of its
// own, one device stream kept from clip to clip (sound_feeder.h). The device a user hears is the
// one played to: a device that goes away, or a new default, is followed within the clip, from
// where its sound was; without any device the clip's time runs on the system clock until one
// comes. Portable: Windows' audio client is one device layer, a test's is another.
#pragma once

#include <memory>

#include "player/sound/audio_output.h"
#include "player/sound/sound_device.h"

namespace quorvane::player {

// Nothing when its thread cannot be started.
std::unique_ptr<AudioOutput> CreateSoundOutput(std::unique_ptr<SoundDevices> devices);

}  // namespace quorvane::player
