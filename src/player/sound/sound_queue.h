// One clip's sound between the player's worker and the device: float frames in the clip's format,
// counted from the clip's first frame. Frames stay after they are given to a device until they
// are known to be heard, so that a new device (or the end of a rest) goes on from what was last
// heard. Not thread-safe: the sound output guards it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/convert/sound_format.h"

namespace quorvane::player {

class SoundQueue {
 public:
  // A new clip's sound (number 0: none), empty.
  void Reset(uint64_t clip, SoundFormat format);

  uint64_t Clip() const { return clip_; }
  const SoundFormat& Format() const { return format_; }
  double Seconds(double frames) const { return format_.rate > 0 ? frames / format_.rate : 0; }
  // The frame at a place of the clip's sound (seconds from its first frame).
  int64_t FrameAt(double seconds) const;

  void Append(const float* samples, size_t frames);
  // The clip's last frame has been appended.
  void End() { ended_ = true; }
  bool Ended() const { return ended_; }

  // Frames kept: not yet known to be heard.
  size_t Held() const { return static_cast<size_t>(written_ - first_); }
  // Frames not yet given.
  size_t Waiting() const { return static_cast<size_t>(written_ - given_); }
  int64_t First() const { return first_; }
  int64_t Given() const { return given_; }
  int64_t Written() const { return written_; }
  // Gives up to frames from the given place on (appended to out); returns the count.
  size_t Give(size_t frames, std::vector<float>& out);
  // Frames before this one have been heard.
  void Heard(int64_t frame);
  // The next frame to give is this one (not before the first kept, not past the written).
  void GiveFrom(int64_t frame);

 private:
  uint64_t clip_ = 0;
  SoundFormat format_;
  std::vector<float> samples_;  // interleaved, from frame first_ on, starting at offset_
  size_t offset_ = 0;
  int64_t first_ = 0;    // the first frame kept
  int64_t given_ = 0;    // the next frame to give
  int64_t written_ = 0;  // the frame after the last appended
  bool ended_ = false;
};

}  // namespace quorvane::player
