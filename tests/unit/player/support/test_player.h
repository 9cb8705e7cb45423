// Players under test, shared by the core's tests: a PlayerCore on a clock the test steps by hand,
// its changed calls counted, with or without a scripted sound output whose clock runs at a speed
// of the test's choosing.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include <gtest/gtest.h>

#include "player/core/player_core.h"
#include "support/manual_time.h"

namespace quorvane::player::testing::players {

// Clip time moves in steps of this many seconds, whenever the player waits for time.
inline constexpr double kStep = 0.01;

// A player on a clock the test steps; its changed calls are counted.
struct Player {
  explicit Player(std::shared_ptr<ManualTime> clock = std::make_shared<ManualTime>(),
                  std::unique_ptr<AudioOutput> audio = nullptr,
                  std::shared_ptr<const ClipFiles> files = nullptr)
      : time(std::move(clock)),
        changes(std::make_shared<std::atomic<int>>(0)),
        core(
            std::move(audio),
            [time = time, changes = changes] {
              ++*changes;
              time->Events().Notify();
            },
            Utf8Line, std::move(files), time) {}

  // Waits for the worker while time stands still.
  bool Until(const std::function<bool()>& condition,
             std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    return time->Events().Until(condition, limit);
  }
  // Lets clip time pass until condition holds, taking each picture as it falls due.
  bool PlayUntil(const std::function<bool()>& condition, double most,
                 const std::function<void(const Picture&)>& shown = {}) {
    return time->RunUntil(condition, kStep, most, [&] {
      if (auto picture = core.TakeDuePicture(); picture && shown) shown(*picture);
    });
  }
  bool Idle() const { return core.PlayState() == kPlayStateIdle; }

  std::shared_ptr<ManualTime> time;
  std::shared_ptr<std::atomic<int>> changes;
  PlayerCore core;
};

// Plays a clip to its end as a window would, taking the pictures as they fall due.
struct Playback {
  int pictures = 0;
  int width = 0;
  int height = 0;
  double seconds = 0;  // of clip time
  bool ended = false;
};

inline Playback PlayToEnd(Player& player, const std::string& path, double limit) {
  Playback result;
  double start = player.time->Elapsed();
  player.core.SetSource(path);
  result.ended = player.PlayUntil([&] { return player.Idle(); }, limit,
                                  [&](const Picture& p) {
                                    ++result.pictures;
                                    result.width = p.width;
                                    result.height = p.height;
                                    EXPECT_GE(p.stride, p.width * 4);
                                    EXPECT_GE(p.bgra.size(), size_t(p.stride) * size_t(p.height));
                                  });
  result.seconds = player.time->Elapsed() - start;
  return result;
}

// A sound output whose clock runs at speed times the test's from its first samples and never
// past what it was given, as a real one stops when its queue runs dry. Like a real one it may
// report no position for a while after its first samples (still), and play a silence of its own
// before them (lead_in); or stop playing then (lost: no device plays the clip any more).
struct DeviceLog {
  std::atomic<size_t> frames{0};
  std::atomic<int> rests{0};
  std::atomic<int> starts{0};
  std::atomic<int> drops{0};
  std::atomic<int> ends{0};
  std::atomic<int> rate{0};
  std::atomic<int> channels{0};
};

struct DeviceScript {
  double speed = 1.0;
  double still = 0;
  double lead_in = 0;
  bool lost = false;
};

class ScriptedOutput final : public AudioOutput {
 public:
  ScriptedOutput(std::shared_ptr<DeviceLog> log, DeviceScript script,
                 std::shared_ptr<ManualTime> time)
      : log_(std::move(log)), script_(script), time_(std::move(time)) {}
  void SetListener(std::function<void()>) override {}
  uint64_t BeginClip(SoundFormat format) override {
    std::lock_guard lock(mutex_);
    ++log_->starts;
    log_->frames = 0;
    log_->rate = format.rate;
    log_->channels = format.channels;
    current_ = ++clips_;
    return current_;
  }
  void Write(uint64_t clip, const float* samples, size_t frames) override {
    EXPECT_NE(samples, nullptr);
    std::lock_guard lock(mutex_);
    if (clip != current_) return;
    if (log_->frames == 0) first_ = time_->Elapsed();
    log_->frames += frames;
  }
  double RoomIn(uint64_t) override { return 0; }
  void EndClip(uint64_t) override { ++log_->ends; }
  void Finish(uint64_t) override {}
  void DropClip() override {
    std::lock_guard lock(mutex_);
    if (current_ != 0) ++log_->drops;
    current_ = 0;
  }
  HeardSound Heard() override {
    std::lock_guard lock(mutex_);
    if (current_ == 0) return {};
    if (log_->frames == 0 || !Moving() || resting_) return {HeardSound::State::kWaiting};
    double played = script_.speed * (time_->Elapsed() - first_ - rested_) - script_.lead_in;
    if (script_.lost || played >= static_cast<double>(log_->frames) / log_->rate) return {};
    return {HeardSound::State::kHeard, played};
  }
  // Resting, the device plays nothing; afterwards it goes on from where it was.
  void Rest(bool resting) override {
    std::lock_guard lock(mutex_);
    if (resting == resting_) return;
    resting_ = resting;
    if (resting) {
      ++log_->rests;
      rest_from_ = time_->Elapsed();
    } else {
      rested_ += time_->Elapsed() - rest_from_;
    }
  }

 private:
  bool Moving() const { return time_->Elapsed() - first_ >= script_.still; }

  std::shared_ptr<DeviceLog> log_;
  DeviceScript script_;
  std::shared_ptr<ManualTime> time_;
  std::mutex mutex_;
  uint64_t clips_ = 0;
  uint64_t current_ = 0;  // 0 once dropped
  double first_ = 0;
  bool resting_ = false;
  double rest_from_ = 0, rested_ = 0;
};

// A player whose sound goes to a scripted device on the player's own clock.
struct PlayerWithSound {
  explicit PlayerWithSound(DeviceScript script = {})
      : time(std::make_shared<ManualTime>()),
        log(std::make_shared<DeviceLog>()),
        player(time, std::make_unique<ScriptedOutput>(log, script, time)) {}
  std::shared_ptr<ManualTime> time;
  std::shared_ptr<DeviceLog> log;
  Player player;
};

}  // namespace quorvane::player::testing::players
