// A clip's sound (float, at its own rate and channels) in the form a shared-mode sound device
// mixes: the device's rate, its speakers and its kind of sample, in one step of FFmpeg's
// resampler. One stream of sound per Start: the resampler's filter holds a little sound from one
// call to the next, which Flush gives out; what comes out keeps step with what went in (the
// device's frame n is the clip's moment n / device rate). Owned by the sound output's feeding
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
  bool operator==(const MixFormat&) const = default;
};

class MixConverter {
 public:
  MixConverter() = default;
  ~MixConverter();
  MixConverter(const MixConverter&) = delete;
  MixConverter& operator=(const MixConverter&) = delete;

  // A new stream from this format to that one; false when it cannot be converted.
  bool Start(SoundFormat from, MixFormat to);
  // Appends the frames (interleaved), converted, to out; false when they could not be.
  bool Convert(const float* samples, size_t frames, std::vector<uint8_t>& out);
  // Appends what the resampler still holds: after the stream's last samples.
  void Flush(std::vector<uint8_t>& out);

 private:
  SoundFormat from_;
  MixFormat to_;
  SwrContext* resampler_ = nullptr;
};

}  // namespace quorvane::player
