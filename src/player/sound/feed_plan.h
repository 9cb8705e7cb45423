// The sound output's feeding decisions as rules on numbers: what its thread does next with the
// device (open one, feed it, close it, wait), and what it gives a device that has room: the
// silence before a new stream's sound, the clip's sound, and silence where the sound comes late
// or between clips. Pure functions.
#pragma once

#include <cstddef>
#include <optional>

namespace quorvane::player {

// How long a device stream stays open with nothing to play (between two clips, after a preview)
// before it is closed.
inline constexpr double kCloseAfter = 2.0;
// How soon a device is asked for again after none could be opened while sound is to play.
inline constexpr double kRetryOpen = 2.0;

// What the feeding thread knows when it decides what to do next.
struct FeederView {
  bool stopping = false;
  bool resting = false;            // nothing is to be played until the rest ends
  bool open = false;               // a stream is open on a device
  bool failed = false;             // its device has gone (an error, or it stopped answering)
  bool default_changed = false;    // Windows' default device for this sound is another now
  bool device_came = false;        // a device was added or became usable
  bool sound_wanted = false;       // a clip's sound is queued or still to be heard
  double idle = 0;                 // seconds since sound was last wanted
  double since_open_failed = 1e9;  // seconds since a device could not be opened
};

enum class FeederStep { kStop, kClose, kOpen, kFeed, kWait };

struct FeederPlan {
  FeederStep step;
  // kWait and kFeed: the longest wait before deciding again (the device's event or a wake
  // comes sooner); below 0: no limit.
  double wait = -1;
};

FeederPlan NextStep(const FeederView& view);

// What is known when a device has room.
struct FeedView {
  size_t buffer = 0;        // the device's buffer, frames
  size_t padding = 0;       // frames it holds not yet played
  bool started = false;     // the stream runs: its position moves
  size_t lead_in = 0;       // frames of the silence before a new stream's sound still to give
  size_t sound = 0;         // frames of the clip's sound ready to give
  size_t start_after = 0;   // frames of sound a new stream waits for before it starts
  bool sound_ends = false;  // no more sound will come than sound (or none is to play)
};

// What to give, in order, and whether the stream starts after it.
struct DeviceFeed {
  size_t silence_before = 0, sound = 0, silence_after = 0;
  bool start = false;
  size_t Frames() const { return silence_before + sound + silence_after; }
};

DeviceFeed PlanFeed(const FeedView& view);

// After a feed the device holds this many seconds of sound: how long the feeding thread sleeps
// on its own before it looks again, or nothing when it waits for the device's event (it holds
// little). A device that holds enough is not woken for at every one of its periods.
std::optional<double> SleepAfterFeed(double held, double period);

// A started stream whose device plays nothing of what it holds, without an error, for as long
// as one that stopped answering (kStalled): it has gone all the same (its server dropped it).
class PlayingWatch {
 public:
  void Restart(double now);
  // Of the frames given, this many have been played and this many are held, at the moment now.
  bool Stuck(size_t played, size_t held, double now);

 private:
  size_t played_ = 0;
  double moved_at_ = 0;
};

}  // namespace quorvane::player
