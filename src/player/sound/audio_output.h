// Where the clips' sound goes: float interleaved samples at each clip's own rate and channels.
// One output serves a player for its life, and keeps one device stream from clip to clip.
// Threads: the player's worker calls BeginClip, Write, RoomIn, EndClip and Finish; any thread calls
// DropClip, Heard and Rest. The output guards its state with a lock of its own, taken last: a
// caller may hold its own lock around Heard, DropClip and Rest (never around Write or Finish,
// which wait), and the output calls nobody while it holds it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "player/convert/sound_format.h"

namespace quorvane::player {

// Where the clip's sound is at this moment.
struct HeardSound {
  enum class State {
    kWaiting,  // it is to be heard soon (a device opens, a stream starts, a rest ends)
    kHeard,    // seconds holds its place
    kNone,     // nothing tells the clip's time: no clip, no device, or its sound was all heard
  };
  State state = State::kNone;
  // kHeard: seconds of the clip's sound from its first sound, below its place while a silence
  // before it counts down to it (below 0 before its first sound).
  double seconds = 0;
};

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;

  // Called from the output's own thread whenever Heard's state changes, without the output's
  // lock held: it must only wake whoever waits for it. Set once, before the first clip.
  virtual void SetListener(std::function<void()> heard_changed) = 0;

  // A new clip's sound comes, in this format; what is left of the one before is dropped. The
  // number it gives names the clip in the calls for it.
  virtual uint64_t BeginClip(SoundFormat format) = 0;
  // Queues the clip's frames; waits while enough is queued; returns at once for a clip that was
  // dropped, or that is not the output's current one.
  virtual void Write(uint64_t clip, const float* samples, size_t frames) = 0;
  // Seconds until Write would take a good piece of the clip's sound at once (0: now, and for a
  // clip that is not the current one), as the device plays what is queued.
  virtual double RoomIn(uint64_t clip) = 0;
  // The clip's last frames have been written.
  virtual void EndClip(uint64_t clip) = 0;
  // Waits until the clip's last sound has been heard, or the clip was dropped.
  virtual void Finish(uint64_t clip) = 0;
  // The current clip's sound stops at once.
  virtual void DropClip() = 0;

  virtual HeardSound Heard() = 0;
  // Resting, nothing is played and the device is let go; the clip's sound stands where it was
  // heard, and goes on from there when the rest ends.
  virtual void Rest(bool resting) = 0;
};

// No device at all: every clip's sound is dropped, and nothing tells a clip's time.
std::unique_ptr<AudioOutput> CreateSilentOutput();

}  // namespace quorvane::player
