// One clip's run (ClipRun) reaches the player's core through this, bound to the clip's serial: a
// run replaced by a newer clip finds itself cancelled, and its reports go nowhere.
#pragma once

#include "player/core/clip_run.h"
#include "player/core/player_core.h"

namespace quorvane::player {

class PlayerCore::RunCore final : public ClipRunCore {
 public:
  RunCore(PlayerCore& core, uint64_t serial) : core_(core), serial_(serial) {}

  bool Cancelled() const override { return core_.Cancelled(serial_); }
  void Report(int32_t state, std::optional<Size> size) override {
    core_.Report(
        serial_, state,
        size ? std::optional<PlayerCore::Size>({size->width, size->height}) : std::nullopt);
  }
  bool QueuePicture(Picture& picture, bool wait) override {
    return core_.QueuePicture(serial_, picture, wait);
  }
  void WaitForRoom(double sound_room_in) override { core_.WaitForRoom(serial_, sound_room_in); }
  void WaitUntilClipTime(double time) override { core_.WaitUntilClipTime(serial_, time); }
  void ExpectSound(bool expected) override { core_.ExpectSound(serial_, expected); }
  uint64_t BeginSound(SoundFormat format, double time) override {
    return core_.BeginSound(serial_, format, time);
  }
  Size PictureSize() const override {
    return {core_.picture_width_.load(), core_.picture_height_.load()};
  }
  PixelBytes TakeBuffer() override { return core_.buffers_->Take(); }
  AudioOutput& Audio() override { return *core_.audio_; }

 private:
  PlayerCore& core_;
  const uint64_t serial_;
};

}  // namespace quorvane::player
