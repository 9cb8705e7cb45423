// The clip player behind both component windows: opens, demuxes and decodes a clip on its own
// worker thread into a small queue of pictures, plays its sound through the sound output, and
// keeps the clip's clock. A serial number per source lets the worker drop what belongs to a
// replaced one.
//
// Threads and what they own:
// - the user-interface thread (the one whose window shows the pictures) calls every public
//   function, and alone converts pictures again for a new size (reconverter_); PlayState,
//   ClipHeight and ClipWidth, atomics, may be read on any thread;
// - the worker owns the decoder, the clip's run and the converters it uses, and writes the
//   clip's sound to the output;
// - the sound output's thread calls the listener, which only wakes the other two.
// Under mutex_ they share the request, the picture queue, the clock and the sound's origin:
// whichever thread follows the device (FollowDevice) sets the clock, under mutex_. The state,
// the size and the serial are atomics, read without it. The sound output's own lock is taken
// after mutex_, never before it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "base/locks.h"
#include "player/convert/picture.h"
#include "player/convert/picture_converter.h"
#include "player/playback_component.h"
#include "player/sound/audio_output.h"
#include "player/source/clip_file.h"
#include "player/source/ram_file.h"
#include "player/timing/clip_clock.h"
#include "player/timing/picture_queue.h"
#include "player/timing/time_source.h"

namespace quorvane::player {

class PictureBuffers;

class PlayerCore {
 public:
  // changed is called from the worker thread whenever the state or the size changed, or a
  // picture arrived in an empty queue (later ones fall due after it: NextPictureIn says when);
  // it must only wake the user-interface thread (signal an event, post a message).
  // metafile_lines reads a metafile's lines as text (on Windows also in the ANSI code page).
  // Every file is read through files (the disk's when null); time is the system's when null.
  // worker_started runs first thing on the worker thread (it names the thread).
  PlayerCore(std::unique_ptr<AudioOutput> audio, std::function<void()> changed,
             LineDecoder metafile_lines = Utf8Line, std::shared_ptr<const ClipFiles> files = {},
             std::shared_ptr<TimeSource> time = {}, std::function<void()> worker_started = {});
  ~PlayerCore();
  PlayerCore(const PlayerCore&) = delete;
  PlayerCore& operator=(const PlayerCore&) = delete;

  // False when the worker thread could not start: the component cannot play anything.
  bool Working() const { return worker_.joinable(); }

  // Starts this clip (UTF-8 path) at once, replacing the one that plays. What the file holds
  // decides how it plays: a text file is a metafile, whose first local entry plays. An empty
  // path, or one whose clip cannot be played, leaves the player idle.
  void SetSource(const std::string& path);

  int32_t PlayState() const { return state_.load(); }
  int32_t ClipHeight() const { return clip_height_.load(); }
  int32_t ClipWidth() const { return clip_width_.load(); }

  // The size pictures are converted to from now on (0 x 0: the clip's own size).
  void SetPictureSize(int width, int height);

  // Resting (the display is off), the clip stands where it is: its clock stops, no picture
  // falls due, its sound is let go with the device, and the worker waits without waking once
  // the queue is full. Afterwards the clip goes on from there, its pictures with its sound.
  // A new source while resting opens and waits likewise.
  void Rest(bool resting);

  // The newest picture whose time has come, taken out of the queue with every older one, at
  // the size pictures are converted to now; nothing when no newer picture is due.
  std::shared_ptr<const Picture> TakeDuePicture();

  // The picture at the size pictures are converted to now: itself when it has that size, else
  // converted again from the frame it came from (a picture decoded before the host placed its
  // window, or shown when the window changed size). Never stretched from another size.
  std::shared_ptr<const Picture> AtPictureSize(std::shared_ptr<const Picture> picture);

  // Seconds until the oldest queued picture falls due (0 or less: it is due); nothing while no
  // picture is queued, or while the clock waits for the clip's sound to be heard (changed is
  // called when it starts).
  std::optional<double> NextPictureIn();

 private:
  // One clip's run (ClipRun) reaches the core through this, bound to the clip's serial.
  class RunCore;

  struct Size {
    int32_t width, height;
  };

  void Run() noexcept;
  void Play(uint64_t serial, const std::string& path);
  bool Cancelled(uint64_t serial) const;
  // Sets the state, and the picture size when given, when serial is still the current source's.
  void Report(uint64_t serial, int32_t state, std::optional<Size> size = std::nullopt);
  // Puts the picture in the queue (and takes it); false, with the picture left as it was, when
  // the queue is full and wait is false, or when the clip was replaced.
  bool QueuePicture(uint64_t serial, Picture& picture, bool wait);
  // Waits a little for room in the picture queue (or, with sound, in the sound device).
  void WaitForRoom(uint64_t serial, double sound_room_in);
  // Sets the clock to where the clip's sound is heard while a device plays it, starting it when
  // the sound is first heard (and waking the window then); starts it with the first queued
  // picture (or the sound's start) when no device plays it. Either thread, under mutex_.
  void FollowDevice();
  void WaitUntilClipTime(uint64_t serial, double time);
  // The clip's sound begins at this clip time, while serial is the current source's: its
  // number at the output, or 0.
  uint64_t BeginSound(uint64_t serial, SoundFormat format, double time);
  void ExpectSound(uint64_t serial, bool expected);

  // Wakes the worker and the window from the sound output's thread while the core lives.
  class Waker;

  // Set at construction: constant, or locking itself.
  std::unique_ptr<AudioOutput> audio_;
  std::shared_ptr<Waker> waker_;
  std::function<void()> changed_;
  LineDecoder metafile_lines_;
  std::shared_ptr<const ClipFiles> files_;
  std::shared_ptr<TimeSource> time_;
  std::shared_ptr<PictureBuffers> buffers_;  // locks itself
  // The user-interface thread's own, for AtPictureSize.
  PictureConverter reconverter_;

  std::atomic<int32_t> state_{kPlayStateIdle};
  std::atomic<int32_t> clip_height_{0};
  std::atomic<int32_t> clip_width_{0};
  std::atomic<uint64_t> serial_{0};
  std::atomic<int> picture_width_{0};
  std::atomic<int> picture_height_{0};

  mutable base::Mutex mutex_;
  base::ConditionVariable wake_worker_;
  std::atomic<bool> stopping_{false};
  // Under mutex_:
  std::string requested_path_;
  uint64_t requested_serial_ = 0;
  uint64_t started_serial_ = 0;
  PictureQueue queue_;
  ClipClock clock_;
  std::optional<double> audio_origin_;  // clip time of the first sound given to the device
  bool sound_expected_ = false;         // the clock waits for the clip's sound to be heard
  bool resting_ = false;
  std::optional<double> rest_time_;  // the clip time the clock stood at when a rest began
  std::optional<double> start_at_;   // where the clock starts when no sound tells it

  std::thread worker_;
};

}  // namespace quorvane::player
