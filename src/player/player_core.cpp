#include "player/player_core.h"

#include <algorithm>
#include <system_error>

#include "player/clip_decoder.h"
#include "player/clip_file.h"
#include "player/picture_buffers.h"
#include "player/real_media.h"

namespace quorvane::player {

namespace {

// Pictures decoded ahead of the clock: enough to smooth a slow decode, little memory.
constexpr size_t kQueuedPictures = 3;
// A picture wider or taller than this is converted at the clip's own size and stretched by the
// painter instead; no screen needs more, and it bounds the memory of a queued picture.
constexpr int kLargestPictureSide = 8192;
// A metafile is a few lines; reading stops here. Its content is judged by as much.
constexpr size_t kLargestMetafile = 64 * 1024;
// Metafiles naming metafiles are followed this deep, and no deeper (one may name itself).
constexpr int kDeepestMetafile = 4;

}  // namespace

PlayerCore::PlayerCore(std::unique_ptr<AudioOutput> audio, std::function<void()> changed,
                       LineDecoder metafile_lines, std::shared_ptr<const ClipFiles> files)
    : audio_(audio ? std::move(audio) : CreateSilentOutput()),
      changed_(std::move(changed)),
      metafile_lines_(std::move(metafile_lines)),
      files_(files ? std::move(files) : DiskFiles()),
      // the queue, the one painted, and the one being decoded
      buffers_(std::make_shared<PictureBuffers>(kQueuedPictures + 2)) {
  try {
    worker_ = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    // Working() is false; the component's window raises its notice.
  }
}

PlayerCore::~PlayerCore() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    ++serial_;
  }
  wake_worker_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void PlayerCore::SetSource(const std::string& path) {
  {
    std::lock_guard lock(mutex_);
    requested_serial_ = ++serial_;
    requested_path_ = path;
    queue_.clear();
    clock_.Stop();
    audio_origin_.reset();
    clip_width_ = 0;
    clip_height_ = 0;
    state_ = path.empty() ? kPlayStateIdle : kPlayStateOpening;
  }
  wake_worker_.notify_all();
}

void PlayerCore::SetPictureSize(int width, int height) {
  bool usable =
      width > 0 && height > 0 && width <= kLargestPictureSide && height <= kLargestPictureSide;
  picture_width_ = usable ? width : 0;
  picture_height_ = usable ? height : 0;
}

std::shared_ptr<const Picture> PlayerCore::TakeDuePicture() {
  std::shared_ptr<const Picture> due;
  {
    std::lock_guard lock(mutex_);
    if (!clock_.Running()) return nullptr;
    double now = clock_.Seconds();
    while (!queue_.empty() && queue_.front()->time <= now) {
      due = std::move(queue_.front());
      queue_.pop_front();
    }
  }
  if (due) wake_worker_.notify_all();
  return due;
}

std::optional<double> PlayerCore::NextPictureIn() {
  std::lock_guard lock(mutex_);
  if (!clock_.Running() || queue_.empty()) return std::nullopt;
  return queue_.front()->time - clock_.Seconds();
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
      audio_->Stop();
      Report(serial, kPlayStateIdle, Size{0, 0});
    }
  }
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
  if (!audio_origin_) return;
  // Once the device has played everything (or has gone away) the clock runs on by itself.
  if (std::optional<double> played = audio_->PlayedSeconds()) clock_.Set(*audio_origin_ + *played);
}

bool PlayerCore::QueuePicture(uint64_t serial, Picture& picture, bool wait) {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (Cancelled(serial)) return false;
    clock_.StartAt(picture.time);
    FollowDevice();
    // Pictures nobody took in time make room: the clip goes on at its own pace even while
    // its window is hidden or the user-interface thread is busy.
    double now = clock_.Seconds();
    while (queue_.size() >= 2 && queue_[1]->time <= now) queue_.pop_front();
    if (queue_.size() < kQueuedPictures) break;
    if (!wait) return false;
    // Full: wait until a picture is taken or the second one falls due and the first may go.
    // The bound covers a sound clock that runs slower or faster than the system's.
    double until_second = std::clamp(queue_[1]->time - now, 0.001, 0.05);
    wake_worker_.wait_for(lock, std::chrono::duration<double>(until_second));
  }
  bool first = queue_.empty();
  queue_.push_back(buffers_->Share(std::move(picture)));
  picture = Picture();
  lock.unlock();
  // Behind a queued picture the window's timer for that one fetches this one too: only a
  // picture in an empty queue is news (15 fewer wake-ups a second for the saver's loop).
  if (first && changed_) changed_();
  return true;
}

void PlayerCore::WaitForRoom(uint64_t serial, bool sound) {
  std::unique_lock lock(mutex_);
  if (Cancelled(serial)) return;
  // A picture taken wakes the worker; otherwise the second queued picture falling due makes
  // room, and the sound device's room is looked at again every 20 ms.
  FollowDevice();
  double wait = 0.05;
  if (clock_.Running() && queue_.size() >= 2) {
    wait = std::clamp(queue_[1]->time - clock_.Seconds(), 0.001, wait);
  }
  if (sound) wait = std::min(wait, 0.02);
  wake_worker_.wait_for(lock, std::chrono::duration<double>(wait));
}

void PlayerCore::WaitUntilClipTime(uint64_t serial, double time) {
  std::unique_lock lock(mutex_);
  for (;;) {
    FollowDevice();
    double left = time - clock_.Seconds();
    if (Cancelled(serial) || !clock_.Running() || left <= 0) return;
    wake_worker_.wait_for(lock, std::chrono::duration<double>(std::min(left, 0.05)));
  }
}

std::optional<std::string> PlayerCore::ResolveClip(const std::string& path, int depth) const {
  std::optional<std::string> head = files_->ReadHead(path, kLargestMetafile);
  if (!head) return std::nullopt;
  if (KindOfContent(*head) != ContentKind::kText) return path;
  if (depth == 0) return std::nullopt;
  std::optional<std::string> entry =
      FirstPlayableEntry(*head, ParentFolder(path), metafile_lines_,
                         [this](const std::string& named) { return files_->IsRegularFile(named); });
  return entry ? ResolveClip(*entry, depth - 1) : std::nullopt;
}

void PlayerCore::Play(uint64_t serial, const std::string& path) {
  std::optional<std::string> clip = ResolveClip(path, kDeepestMetafile);
  if (!clip) return Report(serial, kPlayStateIdle, Size{0, 0});
  std::unique_ptr<ClipDecoder> decoder = ClipDecoder::Open(
      *clip, [this, serial] { return Cancelled(serial); }, files_);
  if (!decoder) return Report(serial, kPlayStateIdle, Size{0, 0});

  // The device opens with the clip's first sound, in its format; until it is tried, sound is
  // looked for even while a picture waits.
  bool sound_tried = false;
  bool sound_out = false;
  auto cancelled = [this, serial] { return Cancelled(serial); };
  bool started = false;
  double end = 0;
  Picture picture;
  ClipDecoder::Sound sound;
  // A picture decoded while the queue was full. Meanwhile sound goes on being decoded as long
  // as the device takes it: files may carry their sound seconds after their pictures, and the
  // device must not run dry waiting for them (its position is the clock the pictures wait for).
  bool holding = false;
  while (!Cancelled(serial)) {
    if (holding && QueuePicture(serial, picture, false)) holding = false;
    bool sound_wanted = decoder->HasSound() && (!sound_tried || (sound_out && audio_->Ready()));
    if (holding && !sound_wanted) {
      WaitForRoom(serial, sound_out);
      continue;
    }
    if (picture.bgra.empty()) picture.bgra = buffers_->Take();
    ClipDecoder::Step step =
        decoder->Next(picture_width_.load(), picture_height_.load(), picture, sound, !holding);
    if (step == ClipDecoder::Step::kEnd) break;
    if (step == ClipDecoder::Step::kPicturesWanted) {
      WaitForRoom(serial, false);
    } else if (step == ClipDecoder::Step::kPicture) {
      if (!started) {
        Report(serial, kPlayStatePlaying, Size{picture.source_width, picture.source_height});
      }
      started = true;
      end = std::max(end, picture.time + decoder->FrameDuration());
      holding = !QueuePicture(serial, picture, false);
    } else {
      if (!sound_tried) sound_out = audio_->Start(sound.format);
      sound_tried = true;
      if (!started && !decoder->HasPicture()) Report(serial, kPlayStatePlaying, Size{0, 0});
      started = started || !decoder->HasPicture();
      {
        std::lock_guard lock(mutex_);
        if (serial_ == serial) {
          clock_.StartAt(sound.time);
          if (sound_out && !audio_origin_) audio_origin_ = sound.time;
        }
      }
      end = std::max(end, sound.time + sound.Seconds());
      if (sound_out) audio_->Write(sound.samples.data(), sound.Frames(), cancelled);
    }
  }
  // The last picture waits for its room, unless the clip was replaced meanwhile.
  if (holding && !QueuePicture(serial, picture, true)) {
    if (sound_out) audio_->Stop();
    return;
  }
  if (sound_out) audio_->Drain();
  WaitUntilClipTime(serial, end);
  if (sound_out) {
    audio_->Finish(cancelled);
    audio_->Stop();
  }
  Report(serial, kPlayStateIdle);
}

namespace {

class SilentOutput final : public AudioOutput {
 public:
  bool Start(SoundFormat) override { return false; }
  void Write(const int16_t*, size_t, const std::function<bool()>&) override {}
  bool Ready() const override { return false; }
  void Drain() override {}
  void Finish(const std::function<bool()>&) override {}
  void Stop() override {}
  std::optional<double> PlayedSeconds() const override { return std::nullopt; }
};

}  // namespace

std::unique_ptr<AudioOutput> CreateSilentOutput() { return std::make_unique<SilentOutput>(); }

}  // namespace quorvane::player
