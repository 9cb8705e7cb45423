#include "player/sound/sound_feeder.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "player/sound/converted_sound.h"
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
    if (!stream) {
      open_failed_at_ = now;
      state_->OpenFailed(now);
      return;
    }
    stream_ = std::move(stream);
    format_ = stream_->Format();
    FromNothing(now);
    StartClipSound(state_->StreamOpened(now));
  }

  // Under the lock: the clip's sound goes to the stream from this place on.
  void StartClipSound(double place) {
    SoundQueue& queue = state_->queue;
    fed_clip_ = queue.Clip();
    queue.GiveFrom(queue.FrameAt(place));
    queue.Heard(queue.Given());
    SoundFormat from = queue.Format();
    converted_.Start(fed_clip_ != 0 ? &from : nullptr, format_,
                     queue.Seconds(static_cast<double>(queue.Given())));
  }

  void Close() {
    if (!stream_) return;
    double now = Now();
    {
      std::lock_guard lock(state_->mutex);
      state_->StreamClosed(now);
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
    if (started_ && playing_.Stuck(given_ - padding, padding, Now())) return Lost();
    // A new stream waits for its first sound to be there before it starts.
    TopUp(buffer - padding + (started_ ? 0 : StartAfter()));
    Feeding feed;
    {
      std::lock_guard lock(state_->mutex);
      if (state_->queue.Clip() != fed_clip_) StartClipSound(0);
      bool ends = fed_clip_ == 0 ||
                  (state_->queue.Ended() && state_->queue.Waiting() == 0 && converted_.Ended());
      feed.plan = PlanFeed({.buffer = buffer,
                            .padding = padding,
                            .started = started_,
                            .lead_in = lead_in_,
                            .sound = converted_.Frames(),
                            .start_after = StartAfter(),
                            .sound_ends = ends});
      feed.clip = fed_clip_;
      feed.place = converted_.Place();
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
    FromNothing(Now());
    std::lock_guard lock(state_->mutex);
    state_->device_clock = DeviceClock();
  }
  void FromNothing(double now) {
    started_ = false;
    lead_in_ = StartAfter();
    given_ = 0;
    playing_.Restart(now);
  }
  struct Feeding {
    DeviceFeed plan;
    uint64_t clip = 0;
    double place = 0;  // the clip's place of the first frame of sound given
    bool ends = false;
  };

  size_t StartAfter() const { return static_cast<size_t>(kLeadIn * format_.rate); }

  // Converts enough of the clip's sound for the room there is, outside the lock.
  void TopUp(size_t room) {
    if (!converted_.Converting() || converted_.Frames() >= room) return;
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
          static_cast<size_t>(std::ceil(static_cast<double>(room - converted_.Frames()) * ratio)) +
          1;
      queue.Give(wanted, taken);
      last = queue.Ended() && queue.Waiting() == 0;
    }
    converted_.Add(taken.data(), taken.size() / channels, last);
  }

  bool Give(const DeviceFeed& plan) {
    if (plan.Frames() == 0) return true;
    size_t frame_bytes = static_cast<size_t>(format_.FrameBytes());
    out_.assign(plan.Frames() * frame_bytes, 0);
    converted_.TakeInto(out_.data() + plan.silence_before * frame_bytes, plan.sound);
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
      if (feed.ends && converted_.Frames() == 0) clock.End();
    } else {
      clock.GaveSilence(sound);  // a dropped clip's last moments
    }
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
    // A worker waiting for room goes on once there is some (it decodes the pictures too).
    if (state_->RoomForWriter()) state_->changed.notify_all();
  }

  // The stream's device has gone: the clip goes on by the clock until another is open.
  std::nullopt_t Lost() {
    double now = Now();
    std::lock_guard lock(state_->mutex);
    state_->DeviceLost(now);
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
  ConvertedSound converted_;
  bool started_ = false;
  size_t given_ = 0;  // frames given to the stream
  PlayingWatch playing_;
  size_t lead_in_ = 0;
  bool changed_ = false;  // the default device changed
  bool came_ = false;     // a device came
  double open_failed_at_ = -1e9;
  uint64_t fed_clip_ = 0;
  std::vector<float> taken_;
  std::vector<uint8_t> out_;
  HeardSound::State told_ = HeardSound::State::kNone;
  uint64_t told_clip_ = 0;
};

}  // namespace

void FeedSound(std::shared_ptr<SoundState> state) { Feeder(std::move(state)).Run(); }

}  // namespace quorvane::player
