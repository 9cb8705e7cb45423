// Where a clip's sound goes: 16-bit stereo samples at a fixed rate. The player's worker thread
// is its only caller. Without a device the picture plays on the system clock alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace quorvane::player {

inline constexpr int kAudioRate = 44100;
inline constexpr int kAudioChannels = 2;

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
  // Opens the default device; false when there is none (the clip plays on without sound).
  virtual bool Start() = 0;
  // Queues interleaved samples; blocks while enough is queued, returns early once cancelled().
  virtual void Write(const int16_t* samples, size_t frames,
                     const std::function<bool()>& cancelled) = 0;
  // Drops whatever is queued and closes the device.
  virtual void Stop() = 0;
};

// No device at all: every Start fails.
std::unique_ptr<AudioOutput> CreateSilentOutput();

}  // namespace quorvane::player
