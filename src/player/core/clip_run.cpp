#include "player/core/clip_run.h"

#include <algorithm>

#include "player/playback_component.h"

namespace quorvane::player {

void ClipRun::PlayToEnd() {
  core_.ExpectSound(decoder_.HasSound());
  while (!core_.Cancelled()) {
    if (holding_ && core_.QueuePicture(picture_, false)) holding_ = false;
    if (holding_ && !SoundWanted()) {
      core_.WaitForRoom(sound_clip_ != 0 ? core_.Audio().RoomIn(sound_clip_) : -1);
      continue;
    }
    if (picture_.bgra.empty()) picture_.bgra = core_.TakeBuffer();
    ClipRunCore::Size size = core_.PictureSize();
    ClipDecoder::Step step = decoder_.Next(size.width, size.height, picture_, sound_, !holding_);
    if (step == ClipDecoder::Step::kEnd) break;
    if (step == ClipDecoder::Step::kPicturesWanted) {
      // The sound lies further behind the pictures in the file than is held back for it: the
      // pictures start the clock, and the sound's device takes it over once it plays.
      if (sound_clip_ == 0) core_.ExpectSound(false);
      core_.WaitForRoom(-1);
    } else if (step == ClipDecoder::Step::kPicture) {
      OnPicture();
    } else {
      OnSound();
    }
  }
  Finish();
}

bool ClipRun::SoundWanted() const {
  return decoder_.HasSound() && (sound_clip_ == 0 || core_.Audio().RoomIn(sound_clip_) <= 0);
}

void ClipRun::OnPicture() {
  if (!started_) {
    core_.Report(kPlayStatePlaying,
                 ClipRunCore::Size{picture_.source_width, picture_.source_height});
  }
  started_ = true;
  end_ = std::max(end_, picture_.time + decoder_.FrameDuration());
  holding_ = !core_.QueuePicture(picture_, false);
}

void ClipRun::OnSound() {
  if (sound_clip_ == 0) sound_clip_ = core_.BeginSound(sound_.format, sound_.time);
  if (!started_ && !decoder_.HasPicture()) {
    core_.Report(kPlayStatePlaying, ClipRunCore::Size{0, 0});
  }
  started_ = started_ || !decoder_.HasPicture();
  end_ = std::max(end_, sound_.time + sound_.Seconds());
  core_.Audio().Write(sound_clip_, sound_.samples.data(), sound_.Frames());
}

void ClipRun::Finish() {
  // The last picture waits for its room, unless the clip was replaced meanwhile (its sound was
  // dropped with it).
  if (holding_ && !core_.QueuePicture(picture_, true)) return;
  if (sound_clip_ != 0) core_.Audio().EndClip(sound_clip_);
  core_.WaitUntilClipTime(end_);
  if (sound_clip_ != 0) core_.Audio().Finish(sound_clip_);
  core_.Report(kPlayStateIdle, std::nullopt);
}

}  // namespace quorvane::player
