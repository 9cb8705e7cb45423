#include "player/timing/clip_run.h"

#include <algorithm>

#include "player/convert/picture_buffers.h"

namespace quorvane::player {

void ClipRun::PlayToEnd() {
  while (!Cancelled()) {
    if (holding_ && core_.QueuePicture(serial_, picture_, false)) holding_ = false;
    if (holding_ && !SoundWanted()) {
      core_.WaitForRoom(serial_, sound_out_);
      continue;
    }
    if (picture_.bgra.empty()) picture_.bgra = core_.buffers_->Take();
    ClipDecoder::Step step = decoder_.Next(
        core_.picture_width_.load(), core_.picture_height_.load(), picture_, sound_, !holding_);
    if (step == ClipDecoder::Step::kEnd) break;
    if (step == ClipDecoder::Step::kPicturesWanted) {
      core_.WaitForRoom(serial_, false);
    } else if (step == ClipDecoder::Step::kPicture) {
      OnPicture();
    } else {
      OnSound();
    }
  }
  Finish();
}

bool ClipRun::SoundWanted() const {
  return decoder_.HasSound() && (!sound_tried_ || (sound_out_ && core_.audio_->Ready()));
}

void ClipRun::OnPicture() {
  if (!started_) {
    core_.Report(serial_, kPlayStatePlaying,
                 PlayerCore::Size{picture_.source_width, picture_.source_height});
  }
  started_ = true;
  end_ = std::max(end_, picture_.time + decoder_.FrameDuration());
  holding_ = !core_.QueuePicture(serial_, picture_, false);
}

void ClipRun::OnSound() {
  if (!sound_tried_) sound_out_ = core_.audio_->Start(sound_.format);
  sound_tried_ = true;
  if (!started_ && !decoder_.HasPicture()) {
    core_.Report(serial_, kPlayStatePlaying, PlayerCore::Size{0, 0});
  }
  started_ = started_ || !decoder_.HasPicture();
  core_.StartClock(serial_, sound_.time, sound_out_);
  end_ = std::max(end_, sound_.time + sound_.Seconds());
  if (sound_out_) {
    core_.audio_->Write(sound_.samples.data(), sound_.Frames(), [this] { return Cancelled(); });
  }
}

void ClipRun::Finish() {
  // The last picture waits for its room, unless the clip was replaced meanwhile.
  if (holding_ && !core_.QueuePicture(serial_, picture_, true)) {
    if (sound_out_) core_.audio_->Stop();
    return;
  }
  if (sound_out_) core_.audio_->Drain();
  core_.WaitUntilClipTime(serial_, end_);
  if (sound_out_) {
    core_.audio_->Finish([this] { return Cancelled(); });
    core_.audio_->Stop();
  }
  core_.Report(serial_, kPlayStateIdle);
}

}  // namespace quorvane::player
