#include "player/sound/audio_output.h"

namespace quorvane::player {

namespace {

constexpr double kNever = 1e9;

class SilentOutput final : public AudioOutput {
 public:
  void SetListener(std::function<void()>) override {}
  uint64_t BeginClip(SoundFormat) override { return ++clips_; }
  void Write(uint64_t, const float*, size_t) override {}
  // Nothing is played, so nothing need be decoded ahead.
  double RoomIn(uint64_t) override { return kNever; }
  void EndClip(uint64_t) override {}
  void Finish(uint64_t) override {}
  void DropClip() override {}
  HeardSound Heard() override { return {}; }
  void Rest(bool) override {}

 private:
  uint64_t clips_ = 0;
};

}  // namespace

std::unique_ptr<AudioOutput> CreateSilentOutput() { return std::make_unique<SilentOutput>(); }

}  // namespace quorvane::player
