// What a clip's sound is once decoded for the sound output: float samples from -1 to 1,
// interleaved, at the clip's own rate and with its own channels.
#pragma once

#include <cstdint>

namespace quorvane::player {

struct SoundFormat {
  int rate = 0;      // samples a second
  int channels = 0;  // 1 to kMostChannels
  // Which speaker each channel is, as Windows' speaker bits (front left 1, front right 2, front
  // centre 4, ...), which FFmpeg's channel masks share; 0: the usual ones for the count.
  uint64_t layout = 0;
  bool operator==(const SoundFormat&) const = default;
};

// More channels than this are mixed down to two by the decoder.
inline constexpr int kMostChannels = 8;

}  // namespace quorvane::player
