// Where a sound device is in a clip's sound, from the positions it reports. Each reading is the
// device's position (seconds of what it was given) at a moment of the system's clock, and the
// position runs on with that clock between readings. Devices report it in steps that lag the
// position heard by up to a step (Wine's every 10 ms): the model follows the upper edge of the
// readings, the most advanced position less its moment over the last few steps.
// What the device is given is silence and the clip's sound in turn: silence first (so that the
// device's position is known before the clip's first sound is heard), and silence wherever the
// sound came too late. Only the clip's sound counts as the clip's time.
// Not thread-safe: the sound output guards it.
#pragma once

#include <deque>
#include <optional>
#include <vector>

namespace quorvane::player {

class DeviceClock {
 public:
  // Seconds of silence or of the clip's sound given to the device after what came before.
  void Gave(double seconds, bool sound);
  // No more of the clip's sound will come.
  void End() { ended_ = true; }
  // The device's position (seconds from the stream's start) read at a moment (seconds).
  void Read(double position, double at);

  // Seconds of the clip's sound the device has played at the moment now: counting down (below
  // 0) to the first sound while the silence before it plays, held where a silence of the sound
  // coming late plays. Nothing before the position has begun to move, before any sound was
  // given, or once the last sound has been played.
  std::optional<double> ClipSeconds(double now) const;
  // The device's position at the moment now, never past what it was given; nothing before the
  // position has begun to move.
  std::optional<double> Position(double now) const;

 private:
  struct Part {
    double from, to;  // device seconds
    bool sound;
  };
  struct Reading {
    double position, at;
  };

  std::vector<Part> parts_;
  std::deque<Reading> readings_;  // the last few steps'
  double given_ = 0;
  bool ended_ = false;
};

}  // namespace quorvane::player
