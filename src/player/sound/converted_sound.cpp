#include "player/sound/converted_sound.h"

#include <algorithm>

namespace quorvane::player {

void ConvertedSound::Start(const SoundFormat* from, const MixFormat& to, double place) {
  bytes_.clear();
  frame_bytes_ = static_cast<size_t>(std::max(to.FrameBytes(), 1));
  rate_ = std::max(to.rate, 1);
  place_ = place;
  ended_ = false;
  converting_ = from && converter_.Start(*from, to);
}

void ConvertedSound::Add(const float* samples, size_t frames, bool last) {
  if (!converting_) return;
  if (frames > 0 && !converter_.Convert(samples, frames, bytes_)) converting_ = false;
  if (last && !ended_) {
    converter_.Flush(bytes_);
    ended_ = true;
  }
}

void ConvertedSound::TakeInto(uint8_t* into, size_t frames) {
  size_t bytes = std::min(frames, Frames()) * frame_bytes_;
  std::copy_n(bytes_.begin(), bytes, into);
  bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(bytes));
  place_ += static_cast<double>(bytes / frame_bytes_) / rate_;
}

}  // namespace quorvane::player
