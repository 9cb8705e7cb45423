// Sound from decoded frames as float interleaved samples for the sound output, at the clip's own
// rate and with its own channels, as its first frame has them: the decoder's samples are copied
// into that form, never resampled or rounded to fewer bits (the output brings them to the
// device's form in one step). Only frames that change their rate or channels in the middle of a
// clip are resampled to the first frame's format. Owned by the clip decoder, on the player's
// worker thread.
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
  bool Convert(const AVFrame* frame, std::vector<float>& samples);
  // The format of every sample given out: the first frame's.
  const SoundFormat& Format() const { return out_; }

 private:
  bool UpdateResampler(const AVFrame* frame);

  SoundFormat out_;
  SwrContext* resampler_ = nullptr;
  int in_rate_ = 0;
  int in_format_ = -1;
  int in_channels_ = 0;
  uint64_t in_layout_mask_ = 0;
};

}  // namespace quorvane::player
