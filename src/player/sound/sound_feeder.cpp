#include "player/sound/sound_feeder.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "player/convert/mix_converter.h"
#include "player/sound/feed_plan.h"

namespace quorvane::player {

namespace {

class Feeder {
 public:
  explicit Feeder(std::shared_ptr<SoundState> state)
      : state_(std::move(state)), devices_(*state_->devices) {}

  void Run() {
    devices_.ThreadStarted();
    for (;;) {
      FeederPlan plan = NextStep(View());
      if (plan.step == FeederStep::kStop) break;
      if (plan.step == FeederStep::kClose) Close();
      if (plan.step == FeederStep::kOpen) Open();
      std::optional<double> sleep;
      if (plan.step == FeederStep::kFeed) sleep = Feed();
      Tell();
      if (sleep) {
        devices_.Wait(nullptr, *sleep);
      } else if (plan.step == FeederStep::kFeed || plan.step == FeederStep::kWait) {
        devices_.Wait(stream_.get(), plan.wait);
      }
    }
    Close();
    devices_.ThreadEnding();
  }

 private:
  double Now() const { return devices_.Now(); }

  FeederView View() {
    changed_ = changed_ || devices_.DefaultChanged();
    came_ = came_ || devices_.DeviceCame();
    double now = Now();
    std::lock_guard lock(state_->mutex);
    state_->Settle(now);
    FeederView view;
    view.stopping = state_->stopping;
    view.resting = state_->resting;
    view.open = stream_ != nullptr;
    view.failed = state_->failed;
    view.default_changed = changed_;
    view.device_came = came_;
    view.sound_wanted = state_->SoundWanted();
    view.idle = now - state_->wanted_at;
    // A new clip, or the end of a rest, asks for a device again at once.
    view.since_open_failed = state_->open_now ? 1e9 : now - open_failed_at_;
    return view;
  }

  // A call into the device, timed so that the others can tell a device that stopped answering.
  template <typename Call>
  auto Calling(Call call) {
    state_->calling_since = Now();
    auto result = call();
    state_->calling_since = 0;
    return result;
  }

  void Open() {
    changed_ = false;
    came_ = false;
    std::unique_ptr<SoundStream> stream = Calling([&] { return devices_.OpenDefault(); });
    double now = Now();
    std::lock_guard lock(state_->mutex);
    state_->open_now = false;
    if (!stream) {
      open_failed_at_ = now;
      // The clip goes on without sound, by the system's clock, from where it was.
      if (state_->route == SoundState::Route::kDevice) {
        state_->RouteToClock(now, state_->PlaceWithoutDevice(now));
      }
      state_->rest_place.reset();
      return;
    }
    stream_ = std::move(stream);
    format_ = stream_->Format();
    lead_in_ = static_cast<size_t>(kLeadIn * format_.rate);
    started_ = false;
    given_ = played_ = 0;
    moved_at_ = now;
    state_->flush = false;
    state_->stream_open = true;
    state_->failed = false;
    state_->device_clock = DeviceClock();
    // The sound starts where the clip is: where a rest stopped it, where the system's clock has
    // taken it (plus the silence before it, so that its time runs on), or where it was given.
    double place = state_->PlaceWithoutDevice(now);
    if (!state_->rest_place && state_->route == SoundState::Route::kClock) place += kLeadIn;
    state_->rest_place.reset();
    state_->route = SoundState::Route::kDevice;
    StartClipSound(place);
  }

  // Under the lock: the clip's sound goes to the stream from this place on.
  void StartClipSound(double place) {
    SoundQueue& queue = state_->queue;
    fed_clip_ = queue.Clip();
    queue.GiveFrom(queue.FrameAt(place));
    queue.Heard(queue.Given());
    fifo_.clear();
    fifo_place_ = queue.Seconds(static_cast<double>(queue.Given()));
    flushed_ = false;
    converting_ = fed_clip_ != 0 && converter_.Start(queue.Format(), format_);
  }

  void Close() {
    if (!stream_) return;
    double now = Now();
    {
      std::lock_guard lock(state_->mutex);
      if (state_->SoundWanted() && state_->route == SoundState::Route::kDevice) {
        // Where it was heard; before its first sound, or without a reading, the first frame not
        // known to be heard.
        double kept = state_->queue.Seconds(static_cast<double>(state_->queue.First()));
        double place = std::max(state_->device_clock.ClipSeconds(now).value_or(kept), kept);
        if (state_->resting) {
          // The clip stands where it was heard until the rest ends.
          state_->rest_place = place;
        } else {
          state_->RouteToClock(now, place);
        }
      }
      state_->stream_open = false;
      state_->device_clock = DeviceClock();
    }
    // Released without the lock: a device that stopped answering may hold this up.
    Calling([&] {
      stream_.reset();
      return 0;
    });
  }

  // Feeds the device; how long the thread may then sleep on its own (SleepAfterFeed).
  std::optional<double> Feed() {
    if (TakeFlush() && started_) {
      if (!Calling([&] { return stream_->Flush(); })) return Lost();
      Restarted();
    }
    size_t padding = 0;
    size_t buffer = stream_->BufferFrames();
    if (started_ && !Calling([&] { return stream_->Padding(padding); })) return Lost();
    padding = std::min(padding, buffer);
    if (started_ && Stuck(padding)) return Lost();
    // A new stream waits for its first sound to be there before it starts.
    TopUp(buffer - padding + (started_ ? 0 : StartAfter()));
    Feeding feed;
    {
      std::lock_guard lock(state_->mutex);
      if (state_->queue.Clip() != fed_clip_) StartClipSound(0);
      bool ends =
          fed_clip_ == 0 || (state_->queue.Ended() && state_->queue.Waiting() == 0 && flushed_);
      feed.plan = PlanFeed({.buffer = buffer,
                            .padding = padding,
                            .started = started_,
                            .lead_in = lead_in_,
                            .sound = FifoFrames(),
                            .start_after = StartAfter(),
                            .sound_ends = ends});
      feed.clip = fed_clip_;
      feed.place = fifo_place_;
      feed.ends = ends;
    }
    if (!Give(feed.plan)) return Lost();
    if (feed.plan.start && !Calling([&] { return stream_->Start(); })) return Lost();
    started_ = started_ || feed.plan.start;
    double position = 0, at = 0;
    SoundStream::Reading reading = Calling([&] { return stream_->Position(position, at); });
    if (reading == SoundStream::Reading::kGone) return Lost();
    Record(feed, reading == SoundStream::Reading::kAccurate, position, at);
    if (!started_) return std::nullopt;
    double held = static_cast<double>(padding + feed.plan.Frames()) / format_.rate;
    return SleepAfterFeed(held, stream_->Period());
  }

  bool TakeFlush() {
    std::lock_guard lock(state_->mutex);
    return std::exchange(state_->flush, false);
  }

  // The stream starts from nothing, as a new one: its position at 0, the silence before its
  // sound to give first.
  void Restarted() {
    started_ = false;
    lead_in_ = static_cast<size_t>(kLeadIn * format_.rate);
    given_ = played_ = 0;
    moved_at_ = Now();
    std::lock_guard lock(state_->mutex);
    state_->device_clock = DeviceClock();
  }

  // A started stream whose device plays nothing of what it holds, without an error, for as long
  // as one that stopped answering: it has gone all the same (its server dropped it).
  bool Stuck(size_t padding) {
    double now = Now();
    size_t played = given_ - padding;
    if (played != played_ || padding == 0) {
      played_ = played;
      moved_at_ = now;
    }
    return now - moved_at_ > kStalled;
  }

  struct Feeding {
    DeviceFeed plan;
    uint64_t clip = 0;
    double place = 0;  // the clip's place of the first frame of sound given
    bool ends = false;
  };

  size_t StartAfter() const { return static_cast<size_t>(kLeadIn * format_.rate); }
  size_t FifoFrames() const { return fifo_.size() / static_cast<size_t>(format_.FrameBytes()); }

  // Converts enough of the clip's sound for the room there is, outside the lock. The resampler's
  // output keeps step with its input, so the fifo's place only moves on by what is given.
  void TopUp(size_t room) {
    if (!converting_ || FifoFrames() >= room) return;
    std::vector<float>& taken = taken_;
    taken.clear();
    bool last = false;
    size_t channels = 1;
    {
      std::lock_guard lock(state_->mutex);
      SoundQueue& queue = state_->queue;
      if (queue.Clip() != fed_clip_) return;
      channels = static_cast<size_t>(queue.Format().channels);
      double ratio = static_cast<double>(queue.Format().rate) / format_.rate;
      size_t wanted =
          static_cast<size_t>(std::ceil(static_cast<double>(room - FifoFrames()) * ratio)) + 1;
      queue.Give(wanted, taken);
      last = queue.Ended() && queue.Waiting() == 0;
    }
    size_t frames = taken.size() / channels;
    if (!taken.empty() && !converter_.Convert(taken.data(), frames, fifo_)) converting_ = false;
    if (last && !flushed_) {
      converter_.Flush(fifo_);
      flushed_ = true;
    }
  }

  bool Give(const DeviceFeed& plan) {
    if (plan.Frames() == 0) return true;
    size_t frame_bytes = static_cast<size_t>(format_.FrameBytes());
    out_.assign(plan.Frames() * frame_bytes, 0);
    std::copy_n(fifo_.begin(), plan.sound * frame_bytes,
                out_.begin() + static_cast<std::ptrdiff_t>(plan.silence_before * frame_bytes));
    fifo_.erase(fifo_.begin(),
                fifo_.begin() + static_cast<std::ptrdiff_t>(plan.sound * frame_bytes));
    lead_in_ -= plan.silence_before;
    given_ += plan.Frames();
    return Calling([&] { return stream_->Give(out_.data(), plan.Frames()); });
  }

  void Record(const Feeding& feed, bool accurate, double position, double at) {
    double now = Now();
    double rate = format_.rate;
    std::lock_guard lock(state_->mutex);
    DeviceClock& clock = state_->device_clock;
    clock.GaveSilence(static_cast<double>(feed.plan.silence_before) / rate);
    double sound = static_cast<double>(feed.plan.sound) / rate;
    if (feed.clip == state_->queue.Clip() && feed.clip != 0) {
      clock.GaveSound(sound, feed.place);
      if (feed.ends && FifoFrames() == 0) clock.End();
    } else {
      clock.GaveSilence(sound);  // a dropped clip's last moments
    }
    fifo_place_ = feed.place + sound;
    clock.GaveSilence(static_cast<double>(feed.plan.silence_after) / rate);
    if (accurate) clock.Read(position, at);
    SoundQueue& queue = state_->queue;
    if (std::optional<double> heard = clock.ClipSeconds(now)) {
      queue.Heard(queue.FrameAt(*heard));
    }
    if (queue.Clip() != 0 && queue.Ended() && clock.Over(now) && !state_->over) {
      state_->over = true;
      state_->changed.notify_all();
    }
    // A worker waiting for room goes on as soon as there is some: it decodes the pictures too.
    if (state_->writer_waiting) state_->changed.notify_all();
  }

  // The stream's device has gone: the clip goes on by the clock until another is open.
  std::nullopt_t Lost() {
    double now = Now();
    std::lock_guard lock(state_->mutex);
    state_->failed = true;
    if (state_->SoundWanted() && state_->route == SoundState::Route::kDevice) {
      state_->RouteToClock(now, state_->device_clock.ClipSeconds(now).value_or(0));
    }
    return std::nullopt;
  }

  // Tells the listener when what Heard says has changed, and once for each new clip (whose
  // waiting for its sound it may not have seen).
  void Tell() {
    std::function<void()> listener;
    {
      std::lock_guard lock(state_->mutex);
      HeardSound::State now = state_->Heard(Now()).state;
      uint64_t clip = state_->queue.Clip();
      if (now == told_ && clip == told_clip_) return;
      told_ = now;
      told_clip_ = clip;
      listener = state_->listener;
    }
    if (listener) listener();
  }

  std::shared_ptr<SoundState> state_;
  SoundDevices& devices_;
  std::unique_ptr<SoundStream> stream_;
  MixFormat format_;
  MixConverter converter_;
  bool converting_ = false;
  bool flushed_ = false;
  bool started_ = false;
  size_t given_ = 0;   // frames given to the stream
  size_t played_ = 0;  // of them played, as last seen
  double moved_at_ = 0;
  size_t lead_in_ = 0;
  bool changed_ = false;  // the default device changed
  bool came_ = false;     // a device came
  double open_failed_at_ = -1e9;
  uint64_t fed_clip_ = 0;
  std::vector<uint8_t> fifo_;  // converted, in the device's form
  double fifo_place_ = 0;      // the clip's place of the fifo's first frame
  std::vector<float> taken_;
  std::vector<uint8_t> out_;
  HeardSound::State told_ = HeardSound::State::kNone;
  uint64_t told_clip_ = 0;
};

}  // namespace

void FeedSound(std::shared_ptr<SoundState> state) { Feeder(std::move(state)).Run(); }

}  // namespace quorvane::player
