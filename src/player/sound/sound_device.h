// The device layer under the sound output: Windows' audio endpoints as far as the output needs
// them. The Win32 side implements it over the audio client (output/audio_endpoints_win.h); the
// tests stand in for it with devices that fail and change as Windows' do.
// Threads: everything is called by the output's feeding thread alone, except Wake and Now.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "player/convert/mix_converter.h"

namespace quorvane::player {

// One stream open in shared mode on one device, event-driven.
class SoundStream {
 public:
  virtual ~SoundStream() = default;

  virtual MixFormat Format() const = 0;
  // The buffer it shares with the device, in frames, and the device's period (seconds): how
  // often its event comes.
  virtual size_t BufferFrames() const = 0;
  virtual double Period() const = 0;
  // Frames given and not yet played; false once the device has gone.
  virtual bool Padding(size_t& frames) = 0;
  // Gives frames in the device's format (silence where bytes is null); false once the device
  // has gone.
  virtual bool Give(const uint8_t* bytes, size_t frames) = 0;
  // Starts playing what was given; false once the device has gone.
  virtual bool Start() = 0;
  // Stops, and drops what the device holds: its position is 0 again, and it is started anew.
  virtual bool Flush() = 0;

  enum class Reading { kAccurate, kInaccurate, kGone };
  // The device's position (seconds of what it was given, played) and the moment it was read
  // (seconds of SoundDevices::Now); only a kAccurate reading's may be used.
  virtual Reading Position(double& seconds, double& at) = 0;
};

class SoundDevices {
 public:
  virtual ~SoundDevices() = default;

  // The feeding thread begins and ends its life with these (on Windows: COM for the thread,
  // the device list and its notifications, the thread's priority).
  virtual void ThreadStarted() = 0;
  virtual void ThreadEnding() = 0;

  // A stream on the default device for multimedia; nothing when there is none or it cannot be
  // opened.
  virtual std::unique_ptr<SoundStream> OpenDefault() = 0;
  // Whether the default device changed since this was last asked.
  virtual bool DefaultChanged() = 0;
  // Whether a device came (was added, or became usable) since this was last asked.
  virtual bool DeviceCame() = 0;
  // Waits until the stream (when there is one) wants sound, Wake is called, the default device
  // changes or a device comes, or seconds have passed (below 0: no limit).
  virtual void Wait(SoundStream* stream, double seconds) = 0;

  // Any thread: the feeding thread's wait ends now, or its next one at once.
  virtual void Wake() = 0;
  // Any thread: seconds of the system's steady clock, on which positions are read.
  virtual double Now() const = 0;
};

}  // namespace quorvane::player
