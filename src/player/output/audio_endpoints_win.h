// The sound output's device layer on Windows: the default device for multimedia (music and
// films, not the console's system sounds), opened through its audio client, and Windows' word
// when the default changes or a device comes (IMMNotificationClient), as Microsoft's "Stream
// Routing" describes for an audio client, which Windows does not move to a new device itself.
// The sound output's thread runs with COM for its whole life and at the priority Windows gives
// sound ("Pro Audio", avrt.dll from the system folder).
#pragma once

#include <memory>

#include "player/sound/sound_device.h"

namespace quorvane::player {

std::unique_ptr<SoundDevices> CreateAudioEndpoints();

}  // namespace quorvane::player
