// What a clip's sound is once converted for a device: 16-bit interleaved samples at the clip's
// own rate, one or two channels.
#pragma once

namespace quorvane::player {

struct SoundFormat {
  int rate = 0;      // samples a second
  int channels = 0;  // 1 or 2
  bool operator==(const SoundFormat&) const = default;
};

}  // namespace quorvane::player
