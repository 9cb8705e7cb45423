// One clip played on the player's worker thread, from its first decoded step to its end: the
// pictures go into the core's queue, the sound to its device, and at the end it waits until the
// last picture's time and the last sound has been heard.
#pragma once

#include <cstdint>
#include <optional>

#include "player/convert/picture.h"
#include "player/convert/sound_format.h"
#include "player/decode/clip_decoder.h"
#include "player/sound/audio_output.h"

namespace quorvane::player {

// What a clip's run asks of the player core, for that one clip: everything answers as if the
// clip had ended once it was replaced. PlayerCore's worker implements it; the tests have theirs.
class ClipRunCore {
 public:
  struct Size {
    int32_t width, height;
  };

  virtual ~ClipRunCore() = default;

  virtual bool Cancelled() const = 0;
  // The state, and the clip's picture size when given.
  virtual void Report(int32_t state, std::optional<Size> size) = 0;
  // Puts the picture in the queue (and takes it); false, with the picture left as it was, when
  // the queue is full and wait is false, or when the clip was replaced.
  virtual bool QueuePicture(Picture& picture, bool wait) = 0;
  // Waits a little for room in the picture queue, or the given seconds for room in the sound
  // output (below 0: the clip has no sound).
  virtual void WaitForRoom(double sound_room_in) = 0;
  virtual void WaitUntilClipTime(double time) = 0;
  // Whether the clock waits for the clip's sound to be heard (true: the clip has sound), or
  // starts with its first picture (false: no sound, or none that can come soon).
  virtual void ExpectSound(bool expected) = 0;
  // The clip's sound begins, in this format, at this clip time (where the clock is when it is
  // first heard); the clip's number at the sound output, 0 once the clip was replaced.
  virtual uint64_t BeginSound(SoundFormat format, double time) = 0;
  // The size pictures are converted to now (0 x 0: the clip's own), and a buffer for one.
  virtual Size PictureSize() const = 0;
  virtual PixelBytes TakeBuffer() = 0;
  // The sound output.
  virtual AudioOutput& Audio() = 0;
};

class ClipRun {
 public:
  ClipRun(ClipRunCore& core, ClipDecoder& decoder) : core_(core), decoder_(decoder) {}

  void PlayToEnd();

 private:
  // Sound is decoded while a picture waits for room, as long as the output takes it: files may
  // carry their sound seconds after their pictures, and the device must not run dry waiting for
  // them (its position is the clock the pictures wait for). Until the sound has begun, it is
  // looked for even while a picture waits: the clock waits for it.
  bool SoundWanted() const;
  void OnPicture();
  void OnSound();
  void Finish();

  ClipRunCore& core_;
  ClipDecoder& decoder_;
  Picture picture_;
  ClipDecoder::Sound sound_;
  bool holding_ = false;     // picture_ was decoded while the queue was full
  uint64_t sound_clip_ = 0;  // the clip's number at the sound output, once its sound began
  bool started_ = false;     // the state says playing
  double end_ = 0;           // the clip time its last picture or sound ends
};

}  // namespace quorvane::player
