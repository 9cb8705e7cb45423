// The current clip's sound converted to the device's form, waiting to be given to the device,
// with the clip's place of its first frame. The resampler's output keeps step with its input, so
// the place moves on only by what is taken. The feeding thread's alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/convert/mix_converter.h"

namespace quorvane::player {

class ConvertedSound {
 public:
  // Empties it for a clip's sound in this form, its next frame at the clip's place; without a
  // clip (nothing to convert from), or where the conversion cannot be made, nothing is added.
  void Start(const SoundFormat* from, const MixFormat& to, double place);

  bool Converting() const { return converting_; }
  // The clip's last samples have been added, and the resampler's tail after them.
  bool Ended() const { return ended_; }
  size_t Frames() const { return bytes_.size() / frame_bytes_; }
  double Place() const { return place_; }

  // Converts these frames of the clip's sound (interleaved) and adds them; at the clip's last,
  // what the resampler still holds too.
  void Add(const float* samples, size_t frames, bool last);
  // Copies the first frames into the device's buffer and drops them.
  void TakeInto(uint8_t* into, size_t frames);

 private:
  MixConverter converter_;
  std::vector<uint8_t> bytes_;
  size_t frame_bytes_ = 1;
  int rate_ = 1;
  double place_ = 0;
  bool converting_ = false;
  bool ended_ = false;
};

}  // namespace quorvane::player
