// What the sound output's callers and its feeding thread share, under one lock: the current
// clip's queued sound, where it goes (a device, or without one the system's clock), the open
// stream's clock, and the requests to rest and to stop. The feeding thread alone calls the device;
// nobody holds the lock while calling the device or the listener.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "base/locks.h"
#include "player/sound/audio_output.h"
#include "player/sound/device_clock.h"
#include "player/sound/sound_device.h"
#include "player/sound/sound_queue.h"

namespace quorvane::player {

// Sound the worker may queue ahead of the device: enough to ride over a slow picture.
inline constexpr double kQueued = 0.8;
// The worker decodes sound ahead in pieces of this many seconds: once the queue has that much
// room it is filled up, so the worker is woken a few times a second for sound, not at every
// period of the device.
inline constexpr double kRefill = 0.2;
// A writer waiting for room in the full queue is woken once this much has been played: not at
// every period of the device, and soon enough for the pictures it decodes too (a few are queued).
inline constexpr double kWriterRoom = 0.05;
// Silence before a new stream's sound: a few of the device's steps, so that its position has
// begun to move, and is known, before the sound is heard.
inline constexpr double kLeadIn = 0.06;
// A device call that has not returned after this long: the device stopped answering (its server
// hangs), and the clip goes on on the system clock.
inline constexpr double kStalled = 0.5;

struct SoundState {
  explicit SoundState(std::unique_ptr<SoundDevices> devices_) : devices(std::move(devices_)) {}

  // Where the current clip's sound goes: to a device (open, or being opened), or without one to
  // the system's clock, which plays it as time passes.
  enum class Route { kDevice, kClock };

  // Under mutex: the current clip's sound heard at the moment now (see AudioOutput::Heard).
  HeardSound Heard(double now);
  // Under mutex: notices a device that stopped answering, plays the queue by the clock on the
  // clock's route, and marks the clip's sound all heard.
  void Settle(double now);
  // Under mutex, from the feeding thread: a stream was opened; the clip's place its sound starts
  // from there.
  double StreamOpened(double now);
  // Under mutex, from the feeding thread: no device could be opened.
  void OpenFailed(double now);
  // Under mutex, from the feeding thread: the stream is being closed; the clip goes on by the
  // system's clock from where it was heard, or, resting, stands there.
  void StreamClosed(double now);
  // Under mutex: the stream's device has gone (or stopped answering); the clip goes on by the
  // system's clock until another is open.
  void DeviceLost(double now);
  // Under mutex: the clip's sound goes on by the system's clock from this place now.
  void RouteToClock(double now, double place);
  // Under mutex: where the clip's sound is now while no device plays it.
  double PlaceWithoutDevice(double now) const;
  bool SoundWanted() const { return queue.Clip() != 0 && !over; }
  // Under mutex: a writer waiting for room has some (kWriterRoom).
  bool RoomForWriter() const {
    return writer_waiting &&
           queue.Seconds(static_cast<double>(queue.Held())) <= kQueued - kWriterRoom;
  }

  const std::unique_ptr<SoundDevices> devices;  // Wake and Now for anyone, the rest the feeder's
  // When the feeding thread entered a device call (seconds of devices->Now()), 0 outside one.
  std::atomic<double> calling_since{0};

  base::Mutex mutex;
  // The worker's waits: room in the queue, a clip heard to its end or dropped, a rest ended.
  base::ConditionVariable changed;
  // Under mutex:
  std::function<void()> listener;
  bool stopping = false;
  bool feeder_ended = false;
  bool resting = false;
  uint64_t clips = 0;  // the last clip number given out
  SoundQueue queue;    // the current clip's; number 0: none
  bool over = false;   // all of the current clip's sound has been heard
  Route route = Route::kDevice;
  double clock_place = 0, clock_at = 0;  // kClock: the clip's place at a moment
  bool heard = false;                    // the clip's sound was heard on a device
  std::optional<double> rest_place;      // where a rest stopped the clip's sound
  bool stream_open = false;
  bool failed = false;       // the open stream's device has gone
  DeviceClock device_clock;  // the open stream's
  double wanted_at = 0;      // when sound was last wanted
  bool open_now = false;     // a device is asked for at once (a new clip, a rest's end)
  bool flush = false;        // a clip's sound was dropped while the device held some
  bool writer_waiting = false;
};

}  // namespace quorvane::player
