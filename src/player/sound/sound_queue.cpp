#include "player/sound/sound_queue.h"

#include <algorithm>
#include <cmath>

namespace quorvane::player {

void SoundQueue::Reset(uint64_t clip, SoundFormat format) {
  *this = SoundQueue();
  clip_ = clip;
  format_ = format;
}

int64_t SoundQueue::FrameAt(double seconds) const {
  if (!(seconds > 0)) return 0;
  return static_cast<int64_t>(std::llround(seconds * format_.rate));
}

void SoundQueue::Append(const float* samples, size_t frames) {
  size_t channels = static_cast<size_t>(format_.channels);
  samples_.insert(samples_.end(), samples, samples + frames * channels);
  written_ += static_cast<int64_t>(frames);
}

size_t SoundQueue::Give(size_t frames, std::vector<float>& out) {
  size_t count = std::min(frames, Waiting());
  size_t channels = static_cast<size_t>(format_.channels);
  auto from = samples_.begin() + static_cast<std::ptrdiff_t>(
                                     offset_ + static_cast<size_t>(given_ - first_) * channels);
  out.insert(out.end(), from, from + static_cast<std::ptrdiff_t>(count * channels));
  given_ += static_cast<int64_t>(count);
  return count;
}

void SoundQueue::Heard(int64_t frame) {
  frame = std::clamp(frame, first_, given_);
  offset_ += static_cast<size_t>(frame - first_) * static_cast<size_t>(format_.channels);
  first_ = frame;
  // The heard frames' room is taken back once they are half of what is stored.
  if (offset_ > samples_.size() / 2) {
    samples_.erase(samples_.begin(), samples_.begin() + static_cast<std::ptrdiff_t>(offset_));
    offset_ = 0;
  }
}

void SoundQueue::GiveFrom(int64_t frame) { given_ = std::clamp(frame, first_, written_); }

}  // namespace quorvane::player
