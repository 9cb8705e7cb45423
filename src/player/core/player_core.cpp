#include "player/core/player_core.h"

#include <algorithm>
#include <system_error>

#include "player/convert/picture_buffers.h"
#include "player/core/clip_run.h"
#include "player/core/core_waker.h"
#include "player/core/run_core.h"
#include "player/decode/clip_decoder.h"
#include "player/source/clip_resolver.h"

namespace quorvane::player {

namespace {

// Pictures decoded ahead of the clock: enough to smooth a slow decode, little memory.
constexpr size_t kQueuedPictures = 3;
// The longest the worker sleeps before it looks again at the queue and the sound output by
// itself: a sound clock may run slower or faster than the system's, by far less than this.
constexpr double kLongestWait = 0.5;
// While resting the worker waits until it is woken.
constexpr double kUntilWoken = 1e9;

}  // namespace

PlayerCore::PlayerCore(std::unique_ptr<AudioOutput> audio, std::function<void()> changed,
                       LineDecoder metafile_lines, std::shared_ptr<const ClipFiles> files,
                       std::shared_ptr<TimeSource> time, std::function<void()> worker_started)
    : audio_(audio ? std::move(audio) : CreateSilentOutput()),
      changed_(std::move(changed)),
      metafile_lines_(std::move(metafile_lines)),
      files_(files ? std::move(files) : DiskFiles()),
      time_(time ? std::move(time) : SystemTime()),
      // the queue, the one painted, and the one being decoded
      buffers_(std::make_shared<PictureBuffers>(kQueuedPictures + 2)),
      queue_(kQueuedPictures),
      clock_(time_) {
  waker_ = std::make_shared<Waker>(wake_worker_, changed_);
  audio_->SetListener([waker = waker_] { waker->Wake(); });
  try {
    worker_ = std::thread([this, started = std::move(worker_started)] {
      if (started) started();
      Run();
    });
  } catch (const std::system_error&) {
    // Working() is false; the component's window raises its notice.
  }
}

PlayerCore::~PlayerCore() {
  waker_->Retire();
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    ++serial_;
    audio_->DropClip();
  }
  wake_worker_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void PlayerCore::SetSource(const std::string& path) {
  {
    std::lock_guard lock(mutex_);
    requested_serial_ = ++serial_;
    requested_path_ = path;
    queue_.Clear();
    clock_.Stop();
    audio_origin_.reset();
    sound_expected_ = false;
    rest_time_.reset();
    start_at_.reset();
    clip_width_ = 0;
    clip_height_ = 0;
    state_ = path.empty() ? kPlayStateIdle : kPlayStateOpening;
    // The replaced clip's sound stops now, not when the worker gets to it.
    audio_->DropClip();
  }
  wake_worker_.notify_all();
}

void PlayerCore::SetPictureSize(int width, int height) {
  bool usable =
      width > 0 && height > 0 && width <= kLargestPictureSide && height <= kLargestPictureSide;
  picture_width_ = usable ? width : 0;
  picture_height_ = usable ? height : 0;
}

void PlayerCore::Rest(bool resting) {
  {
    std::lock_guard lock(mutex_);
    if (resting_ == resting) return;
    if (resting) {
      FollowDevice();
      if (clock_.Running()) rest_time_ = clock_.Seconds();
      clock_.Stop();
    } else if (rest_time_) {
      // The clip goes on where it stood: with its sound when it has any, as at its start.
      start_at_ = rest_time_;
      rest_time_.reset();
      sound_expected_ = audio_origin_.has_value();
    }
    resting_ = resting;
    audio_->Rest(resting);
    if (!resting) FollowDevice();
  }
  wake_worker_.notify_all();
  if (!resting && changed_) changed_();
}

std::shared_ptr<const Picture> PlayerCore::TakeDuePicture() {
  std::shared_ptr<const Picture> due;
  {
    std::lock_guard lock(mutex_);
    FollowDevice();
    if (!clock_.Running()) return nullptr;
    due = queue_.TakeDue(clock_.Seconds());
  }
  if (!due) return nullptr;
  wake_worker_.notify_all();
  return AtPictureSize(std::move(due));
}

std::shared_ptr<const Picture> PlayerCore::AtPictureSize(std::shared_ptr<const Picture> picture) {
  if (!picture || !picture->frame) return picture;
  int width = picture_width_.load();
  int height = picture_height_.load();
  bool own_size = width <= 0 || height <= 0;
  if (own_size) {
    width = picture->source_width;
    height = picture->source_height;
  }
  if (picture->width == width && picture->height == height) return picture;
  Picture again;
  again.bgra = buffers_->Take();
  if (!reconverter_.Convert(picture->frame.get(), own_size ? 0 : width, own_size ? 0 : height,
                            again)) {
    return picture;
  }
  again.time = picture->time;
  again.frame = picture->frame;
  return buffers_->Share(std::move(again));
}

std::optional<double> PlayerCore::NextPictureIn() {
  std::lock_guard lock(mutex_);
  FollowDevice();
  if (!clock_.Running()) return std::nullopt;
  return queue_.FirstDueIn(clock_.Seconds());
}

void PlayerCore::Run() noexcept {
  for (;;) {
    uint64_t serial = 0;
    try {
      std::string path;
      {
        std::unique_lock lock(mutex_);
        wake_worker_.wait(lock, [&] { return stopping_ || requested_serial_ != started_serial_; });
        if (stopping_) return;
        serial = started_serial_ = requested_serial_;
        path = requested_path_;
      }
      if (!path.empty()) Play(serial, path);
    } catch (...) {
      // Whatever a clip holds, and however little memory is left, it never ends the program:
      // the clip has simply ended. Nothing is thrown out of the thread's entry.
      audio_->DropClip();
      Report(serial, kPlayStateIdle, Size{0, 0});
    }
  }
}

void PlayerCore::Play(uint64_t serial, const std::string& path) {
  std::optional<OpenedFile> clip = ResolveClip(path, *files_, metafile_lines_);
  if (!clip) return Report(serial, kPlayStateIdle, Size{0, 0});
  std::unique_ptr<ClipDecoder> decoder = ClipDecoder::Open(
      std::move(*clip), [this, serial] { return Cancelled(serial); }, files_);
  if (!decoder) return Report(serial, kPlayStateIdle, Size{0, 0});
  RunCore core(*this, serial);
  ClipRun(core, *decoder).PlayToEnd();
}

bool PlayerCore::Cancelled(uint64_t serial) const { return stopping_ || serial_ != serial; }

void PlayerCore::Report(uint64_t serial, int32_t state, std::optional<Size> size) {
  {
    std::lock_guard lock(mutex_);
    if (serial_ != serial) return;
    if (size) {
      clip_width_ = size->width;
      clip_height_ = size->height;
    }
    state_ = state;
  }
  if (changed_) changed_();
}

void PlayerCore::FollowDevice() {
  if (resting_) return;
  bool was_running = clock_.Running();
  if (!audio_origin_) {
    // A clip without sound going on after a rest.
    if (!sound_expected_ && start_at_ && !was_running) clock_.StartAt(*start_at_);
  } else if (HeardSound heard = audio_->Heard(); heard.state == HeardSound::State::kHeard) {
    clock_.Set(*audio_origin_ + heard.seconds);
  } else if (heard.state == HeardSound::State::kNone && sound_expected_ && !was_running) {
    // No device plays the clip's sound: it goes on by its pictures, or by its sound's time,
    // or from where it stood when a rest began.
    sound_expected_ = false;
    clock_.StartAt(start_at_.value_or(queue_.FirstDueIn(0).value_or(*audio_origin_)));
  }
  // Otherwise the clock runs on by itself (between devices, after the clip's last sound).
  // The window waits for nothing while the clock stands: it is told when it starts.
  if (!was_running && clock_.Running() && changed_) changed_();
}

bool PlayerCore::QueuePicture(uint64_t serial, Picture& picture, bool wait) {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (Cancelled(serial)) return false;
    // The clock starts with the first picture queued (queued while resting, it waited).
    if (!sound_expected_ && !resting_ && !start_at_) {
      clock_.StartAt(queue_.FirstDueIn(0).value_or(picture.time));
    }
    FollowDevice();
    double now = clock_.Seconds();
    queue_.DropOverdue(now);
    if (!queue_.Full()) break;
    if (!wait) return false;
    // Full: wait until a picture is taken or the second one falls due and the first may go.
    double until_second =
        std::clamp(queue_.SecondDueIn(now).value_or(kLongestWait), 0.001, kLongestWait);
    time_->WaitFor(lock, wake_worker_, resting_ ? kUntilWoken : until_second);
  }
  bool first = queue_.Push(buffers_->Share(std::move(picture)));
  picture = Picture();
  lock.unlock();
  // Behind a queued picture the window's timer for that one fetches this one too: only a
  // picture in an empty queue is news (15 fewer wake-ups a second for the saver's loop).
  if (first && changed_) changed_();
  return true;
}

void PlayerCore::WaitForRoom(uint64_t serial, double sound_room_in) {
  std::unique_lock lock(mutex_);
  if (Cancelled(serial)) return;
  // A picture taken wakes the worker; otherwise the second queued picture falling due makes
  // room, or the sound output has room for more.
  FollowDevice();
  double wait = kLongestWait;
  if (clock_.Running()) {
    if (std::optional<double> second = queue_.SecondDueIn(clock_.Seconds())) {
      wait = std::min(*second, wait);
    }
  }
  if (sound_room_in >= 0) wait = std::min(wait, sound_room_in);
  time_->WaitFor(lock, wake_worker_, resting_ ? kUntilWoken : std::max(wait, 0.001));
}

void PlayerCore::WaitUntilClipTime(uint64_t serial, double time) {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (Cancelled(serial)) return;
    if (resting_) {
      time_->WaitFor(lock, wake_worker_, kUntilWoken);
      continue;
    }
    FollowDevice();
    double left = time - clock_.Seconds();
    if (!clock_.Running() || left <= 0) return;
    time_->WaitFor(lock, wake_worker_, std::min(left, kLongestWait));
  }
}

uint64_t PlayerCore::BeginSound(uint64_t serial, SoundFormat format, double time) {
  std::lock_guard lock(mutex_);
  if (serial_ != serial) return 0;
  audio_origin_ = time;
  uint64_t clip = audio_->BeginClip(format);
  FollowDevice();
  return clip;
}

void PlayerCore::ExpectSound(uint64_t serial, bool expected) {
  std::lock_guard lock(mutex_);
  if (serial_ == serial) sound_expected_ = expected;
}

}  // namespace quorvane::player
