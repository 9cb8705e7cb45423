#include "player/sound/sound_output.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <thread>

#include "base/locks.h"
#include "player/sound/sound_feeder.h"
#include "player/sound/sound_state.h"

namespace quorvane::player {

namespace {

// How long the output's end waits for its thread; one stuck in a device that stopped answering
// is left to end on its own, with its share of the state.
constexpr auto kStopWait = std::chrono::milliseconds(500);
// The longest a writer waits before it looks again itself: the feeding thread may be stuck in a
// device that stopped answering, and without a device the clock plays the queue.
constexpr auto kWriterLook = std::chrono::milliseconds(250);
constexpr auto kClockLook = std::chrono::milliseconds(20);
constexpr double kUntilTheRestEnds = 1e9;

using Lock = std::unique_lock<base::Mutex>;

class SoundOutput final : public AudioOutput {
 public:
  explicit SoundOutput(std::shared_ptr<SoundState> state) : state_(std::move(state)) {}

  ~SoundOutput() override {
    {
      std::lock_guard lock(state_->mutex);
      state_->stopping = true;
      state_->queue.Reset(0, {});
      state_->changed.notify_all();
    }
    state_->devices->Wake();
    if (!feeder_.joinable()) return;
    std::unique_lock lock(state_->mutex);
    if (state_->changed.wait_for(lock, kStopWait, [&] { return state_->feeder_ended; })) {
      lock.unlock();
      feeder_.join();
    } else {
      lock.unlock();
      feeder_.detach();
    }
  }

  bool Start() {
    try {
      feeder_ = std::thread([state = state_] {
        FeedSound(state);
        std::lock_guard lock(state->mutex);
        state->feeder_ended = true;
        state->changed.notify_all();
      });
    } catch (const std::system_error&) {
      return false;
    }
    return true;
  }

  void SetListener(std::function<void()> heard_changed) override {
    std::lock_guard lock(state_->mutex);
    state_->listener = std::move(heard_changed);
  }

  uint64_t BeginClip(SoundFormat format) override {
    uint64_t clip;
    {
      std::lock_guard lock(state_->mutex);
      if (state_->SoundWanted()) state_->flush = true;
      clip = ++state_->clips;
      NewClip(clip, format);
      state_->open_now = true;
    }
    state_->devices->Wake();
    return clip;
  }

  void Write(uint64_t clip, const float* samples, size_t frames) override {
    Lock lock(state_->mutex);
    size_t channels = static_cast<size_t>(state_->queue.Format().channels);
    while (frames > 0 && Current(clip)) {
      state_->Settle(state_->devices->Now());
      SoundQueue& queue = state_->queue;
      size_t most = static_cast<size_t>(kQueued * queue.Format().rate);
      size_t take = std::min(frames, most - std::min(most, queue.Held()));
      if (take > 0) {
        bool first = queue.Written() == 0;
        queue.Append(samples, take);
        samples += take * channels;
        frames -= take;
        // A stream waits for its first sound: the feeding thread looks at once.
        if (first) state_->devices->Wake();
        continue;
      }
      Wait(lock);
    }
  }

  double RoomIn(uint64_t clip) override {
    std::lock_guard lock(state_->mutex);
    if (!Current(clip)) return 0;
    if (state_->resting) return kUntilTheRestEnds;
    state_->Settle(state_->devices->Now());
    // Sound is decoded ahead in pieces of a refill's worth (kRefill).
    double held = state_->queue.Seconds(static_cast<double>(state_->queue.Held()));
    if (held >= kQueued) filling_ = false;
    if (held <= kQueued - kRefill) filling_ = true;
    return filling_ ? 0.0 : held - (kQueued - kRefill);
  }

  void EndClip(uint64_t clip) override {
    {
      std::lock_guard lock(state_->mutex);
      if (!Current(clip)) return;
      state_->queue.End();
    }
    state_->devices->Wake();
  }

  void Finish(uint64_t clip) override {
    Lock lock(state_->mutex);
    while (Current(clip)) {
      state_->Settle(state_->devices->Now());
      if (state_->over) return;
      Wait(lock);
    }
  }

  void DropClip() override {
    {
      std::lock_guard lock(state_->mutex);
      // What the device still holds of it is dropped too.
      if (state_->SoundWanted()) state_->flush = true;
      NewClip(0, {});
    }
    state_->devices->Wake();
  }

  HeardSound Heard() override {
    std::lock_guard lock(state_->mutex);
    return state_->Heard(state_->devices->Now());
  }

  void Rest(bool resting) override {
    {
      std::lock_guard lock(state_->mutex);
      if (state_->resting == resting) return;
      double now = state_->devices->Now();
      state_->Settle(now);
      if (resting && state_->SoundWanted() && state_->route == SoundState::Route::kClock) {
        // Without a device the clip stands where the clock had taken it.
        state_->rest_place = state_->PlaceWithoutDevice(now);
        state_->route = SoundState::Route::kDevice;
      }
      state_->resting = resting;
      state_->open_now = !resting;
      // After a rest the clip's sound is waited for again, as at its start.
      if (!resting) state_->heard = false;
      state_->changed.notify_all();
    }
    state_->devices->Wake();
  }

 private:
  // Under the lock.
  bool Current(uint64_t clip) const {
    return clip != 0 && state_->queue.Clip() == clip && !state_->stopping;
  }

  // Under the lock: the queue holds a new clip's sound (or none), and what the device was given
  // of the one before counts as silence.
  void NewClip(uint64_t clip, SoundFormat format) {
    state_->queue.Reset(clip, format);
    state_->over = false;
    state_->heard = false;
    state_->rest_place.reset();
    state_->route = SoundState::Route::kDevice;
    state_->device_clock.NewClip();
    state_->changed.notify_all();
  }

  // Under the lock: until the feeding thread, a drop, a rest's end or the clock changes the queue.
  void Wait(Lock& lock) {
    state_->writer_waiting = true;
    if (state_->resting) {
      state_->changed.wait(lock);
    } else if (state_->route == SoundState::Route::kClock) {
      state_->changed.wait_for(lock, kClockLook);
    } else {
      state_->changed.wait_for(lock, kWriterLook);
    }
    state_->writer_waiting = false;
  }

  std::shared_ptr<SoundState> state_;
  std::thread feeder_;
  bool filling_ = false;  // under the state's lock: the queue is being filled up
};

}  // namespace

std::unique_ptr<AudioOutput> CreateSoundOutput(std::unique_ptr<SoundDevices> devices) {
  auto output = std::make_unique<SoundOutput>(std::make_shared<SoundState>(std::move(devices)));
  if (!output->Start()) return nullptr;
  return output;
}

}  // namespace quorvane::player
