// Where a clip's sound goes: 16-bit interleaved samples at the clip's own rate, one or two
// channels. The player's worker thread starts, feeds and stops it; any thread may ask where it
// is. While sound plays, its device's position sets the clip's clock; without a device the
// system clock runs it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "player/convert/sound_format.h"

namespace quorvane::player {

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
  // Opens the default device for sound of this format; false when there is none (the clip
  // plays on without sound).
  virtual bool Start(SoundFormat format) = 0;
  // Queues interleaved samples; blocks while enough is queued, returns early once cancelled().
  // Samples may be held back until a whole block is there.
  virtual void Write(const int16_t* samples, size_t frames,
                     const std::function<bool()>& cancelled) = 0;
  // True when Write would take samples at once, without waiting for the device.
  virtual bool Ready() const = 0;
  // Queues whatever Write held back: called after a clip's last sound.
  virtual void Drain() = 0;
  // Waits, until cancelled(), for the device to have played everything queued: called at the
  // clip's end, before Stop, which would cut off what the sound system still holds.
  virtual void Finish(const std::function<bool()>& cancelled) = 0;
  // Drops whatever is queued and closes the device.
  virtual void Stop() = 0;
  // True from a Start that opened the device until it has gone away. Any thread.
  virtual bool Playing() const = 0;
  // Seconds of the clip's sound heard at this moment, from its first sound: below 0 while a
  // silence the device plays before it counts down to it. Nothing before the device's position
  // has begun to move, after the last sound has been heard, without a device, and once the
  // device has gone away: the clip then goes on on the system clock. Any thread; it never waits
  // on the device.
  virtual std::optional<double> PlayedSeconds() = 0;
};

// No device at all: every Start fails.
std::unique_ptr<AudioOutput> CreateSilentOutput();

}  // namespace quorvane::player
