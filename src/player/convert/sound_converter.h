// Sound from decoded frames as 16-bit interleaved samples for the sound device: at the clip's own
// rate with one or two channels, as its first frame has them (more channels mixed down to two).
// Frames that change their rate or layout in the middle, or that have more channels, are
// resampled to that format; frames that differ only in their samples' form are converted
// sample by sample, with no resampler at all (the device or the system's mixer brings the sound
// to the rate it plays at). Owned by the clip
// decoder, on the player's worker thread.
#pragma once

#include <cstdint>
#include <vector>

#include "player/convert/sound_format.h"

struct AVFrame;
struct SwrContext;

namespace quorvane::player {

class SoundConverter {
 public:
  SoundConverter() = default;
  ~SoundConverter();
  SoundConverter(const SoundConverter&) = delete;
  SoundConverter& operator=(const SoundConverter&) = delete;

  // The frame's sound into samples (replacing what they held); false when it cannot be.
  bool Convert(const AVFrame* frame, std::vector<int16_t>& samples);
  // The format of every sample given out: the first frame's.
  const SoundFormat& Format() const { return out_; }

 private:
  bool UpdateResampler(const AVFrame* frame, SoundFormat out);

  SoundFormat out_;
  SwrContext* resampler_ = nullptr;
  int in_rate_ = 0;
  int in_format_ = -1;
  int in_channels_ = 0;
  uint64_t in_layout_mask_ = 0;
};

}  // namespace quorvane::player
