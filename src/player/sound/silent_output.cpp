#include "player/sound/audio_output.h"

namespace quorvane::player {

namespace {

class SilentOutput final : public AudioOutput {
 public:
  bool Start(SoundFormat) override { return false; }
  void Write(const int16_t*, size_t, const std::function<bool()>&) override {}
  bool Ready() const override { return false; }
  void Drain() override {}
  void Finish(const std::function<bool()>&) override {}
  void Stop() override {}
  bool Playing() const override { return false; }
  std::optional<double> PlayedSeconds() override { return std::nullopt; }
};

}  // namespace

std::unique_ptr<AudioOutput> CreateSilentOutput() { return std::make_unique<SilentOutput>(); }

}  // namespace quorvane::player
