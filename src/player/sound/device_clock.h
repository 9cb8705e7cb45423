// Where a sound device is in a clip's sound, from the positions it reports. Each reading is the
// device's position (seconds of what it was given) at a moment of the system's clock, and the
// position runs on with that clock between readings. Devices report it in steps that lag the
// position heard by up to a step (Wine's every 10 ms): the model follows the upper edge of the
// readings, the most advanced position less its moment over the last tenth of a second, and
// starts again from a reading that falls well behind it (the device fell behind).
// What a device is given is silence and a clip's sound in turn: silence before the clip's first
// sound (so that the position is known before it is heard), wherever the sound came too late,
// and between clips. Each piece of sound carries its place in the clip's sound, so a clip goes on
// from where it was on a new device. Only the clip's sound counts as the clip's time.
// Not thread-safe: the sound output guards it.
#pragma once

#include <deque>
#include <optional>
#include <vector>

namespace quorvane::player {

class DeviceClock {
 public:
  // Seconds of silence given to the device after what came before.
  void GaveSilence(double seconds);
  // Seconds of the clip's sound given after what came before, from this place of it (seconds
  // from its first sound).
  void GaveSound(double seconds, double clip_from);
  // What was given of an earlier clip counts as silence from now on: a new clip's sound follows.
  void NewClip();
  // No more of the clip's sound will come.
  void End() { ended_ = true; }
  // The device's position (seconds from the stream's start) read at a moment (seconds).
  void Read(double position, double at);

  // The place in the clip's sound the device plays at the moment now: counting down to the
  // first sound given while a silence before it plays, held where a silence of the sound coming
  // late plays. Nothing before the position has begun to move, before any of the clip's sound
  // was given, or once its last sound has been played.
  std::optional<double> ClipSeconds(double now) const;
  // Whether the clip's last sound has been played by the moment now.
  bool Over(double now) const;
  // The device's position at the moment now, never past what it was given; nothing before the
  // position has begun to move.
  std::optional<double> Position(double now) const;
  // Seconds of sound and silence given in all.
  double Given() const { return given_; }

 private:
  struct Part {
    double from, to;                  // device seconds
    std::optional<double> clip_from;  // the clip's sound from this place, or silence
  };
  struct Reading {
    double position, at;
  };

  void Gave(double seconds, std::optional<double> clip_from);
  // The readings' upper edge: the most advanced position less its moment (readings_ not empty).
  double Edge() const;

  std::vector<Part> parts_;
  std::deque<Reading> readings_;  // the last few steps'
  double given_ = 0;
  bool ended_ = false;
};

}  // namespace quorvane::player
