// One clip played on the player's worker thread, from its first decoded step to its end: the
// pictures go into the core's queue, the sound to its device, and at the end it waits until the
// last picture's time and the last sound has been heard.
#pragma once

#include <cstdint>

#include "player/convert/picture.h"
#include "player/decode/clip_decoder.h"
#include "player/timing/player_core.h"

namespace quorvane::player {

class ClipRun {
 public:
  ClipRun(PlayerCore& core, uint64_t serial, ClipDecoder& decoder)
      : core_(core), serial_(serial), decoder_(decoder) {}

  void PlayToEnd();

 private:
  bool Cancelled() const { return core_.Cancelled(serial_); }
  // Sound is decoded while a picture waits for room, as long as the device takes it: files may
  // carry their sound seconds after their pictures, and the device must not run dry waiting for
  // them (its position is the clock the pictures wait for). Until the device is tried, sound is
  // looked for even while a picture waits: the device opens with the first sound's format.
  bool SoundWanted() const;
  void OnPicture();
  void OnSound();
  void Finish();

  PlayerCore& core_;
  const uint64_t serial_;
  ClipDecoder& decoder_;
  Picture picture_;
  ClipDecoder::Sound sound_;
  bool holding_ = false;      // picture_ was decoded while the queue was full
  bool sound_tried_ = false;  // the device was asked to open
  bool sound_out_ = false;    // and it did
  bool started_ = false;      // the state says playing
  double end_ = 0;            // the clip time its last picture or sound ends
};

}  // namespace quorvane::player
