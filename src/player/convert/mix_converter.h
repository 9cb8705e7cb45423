// A clip's sound (16-bit interleaved at its own rate, one or two channels) in the form a
// shared-mode sound device mixes: the device's rate, its channels and its kind of sample. One
// stream of sound per Start: the resampler's filter holds a few samples from one call to the
// next, and Flush gives out the last of them. Owned by the sound output, on the player's worker
// thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/convert/sound_format.h"

struct SwrContext;

namespace quorvane::player {

struct MixFormat {
  enum class Sample { kInt16, kInt32, kFloat };  // 24 bits come left-aligned in kInt32
  int rate = 0;
  int channels = 0;
  // Which speaker each channel is, as Windows' speaker bits (front left 1, front right 2, front
  // centre 4, ...), in channel order; 0: the usual ones for the count.
  uint32_t speakers = 0;
  Sample sample = Sample::kFloat;

  int SampleBytes() const { return sample == Sample::kInt16 ? 2 : 4; }
  int FrameBytes() const { return SampleBytes() * channels; }
};

class MixConverter {
 public:
  MixConverter() = default;
  ~MixConverter();
  MixConverter(const MixConverter&) = delete;
  MixConverter& operator=(const MixConverter&) = delete;

  // A new stream from this format to that one; false when it cannot be converted.
  bool Start(SoundFormat from, MixFormat to);
  // Appends the samples, converted, to out; false when they could not be (out unchanged).
  bool Convert(const int16_t* samples, size_t frames, std::vector<uint8_t>& out);
  // Appends what the resampler still holds: after the stream's last samples.
  void Flush(std::vector<uint8_t>& out);

 private:
  // Float frames at the device's rate (in the clip's channels) to the device's form, appended.
  void Put(const float* frames, size_t count, std::vector<uint8_t>& out) const;
  bool Resample(const uint8_t** in, int frames, std::vector<uint8_t>& out);

  SoundFormat from_;
  MixFormat to_;
  SwrContext* resampler_ = nullptr;  // only when the rates differ
  int left_ = 0, right_ = 0;         // the device channels that take the clip's left and right
  std::vector<float> work_;
};

}  // namespace quorvane::player
