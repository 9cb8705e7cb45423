// One stream on one device through its audio client (WASAPI), in shared mode and driven by the
// device's event, as the sound output's device layer hands it out. Its own thread (the sound
// output's) alone calls it, with COM started for that thread.
#pragma once

#include <windows.h>
// The audio client's headers need windows.h first.
#include <mmdeviceapi.h>

#include <memory>

#include "player/sound/sound_device.h"

namespace quorvane::player {

// A stream on the device; nothing when it cannot be opened.
std::unique_ptr<SoundStream> OpenAudioClientStream(IMMDevice& device);

// The event the device signals when it has room; the stream must be one OpenAudioClientStream
// gave.
HANDLE RoomEventOf(SoundStream& stream);

}  // namespace quorvane::player
