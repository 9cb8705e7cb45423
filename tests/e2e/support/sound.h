// What the machine plays, as the tests hear it: the session's sound device is a null sink whose
// monitor the session records on request, so a recording holds what every program played. Also
// a marker tone of the test's own, to place a moment of the test on a recording's timeline, and
// the requests that stop and start the sound server.
#pragma once

#include <windows.h>
// mmsystem.h needs windows.h first.
#include <mmsystem.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvane::e2e {

inline constexpr int kSoundRate = 44100;

// One channel of a recording at kSoundRate, with the measurements the tests make of it. Times
// are seconds from the recording's start.
class Recording {
 public:
  explicit Recording(std::vector<int16_t> samples) : samples_(std::move(samples)) {}
  double Seconds() const { return static_cast<double>(samples_.size()) / kSoundRate; }

  // The amplitude of one frequency in each window of window_seconds (Goertzel's algorithm).
  std::vector<double> Levels(double frequency, double window_seconds) const;
  // Where the frequency is heard at least at this amplitude: the first and the last window's
  // start, or nothing when it is never heard.
  struct Span {
    double from, to;
  };
  std::optional<Span> Heard(double frequency, double least, double window_seconds = 0.005) const;
  // Where the frequency falls below least between the times, in windows of window_seconds: each
  // run of such windows as one span, from its first window's start to its last one's end.
  std::vector<Span> Silences(double frequency, double from, double to, double least,
                             double window_seconds = 0.01) const;
  // The frequency of the strongest sine between the times, from its rising zero crossings.
  double Frequency(double from, double to) const;
  // The largest sample-to-sample step and the largest amplitude between the times.
  double LargestStep(double from, double to) const;
  double Peak(double from, double to) const;

  // Where a sine of this frequency breaks inside a span: its silences (below half its peak), its
  // jumps (a step between two samples steeper than the sine's own, away from a silence), and
  // the longest stretch with neither, in windows of 10 ms.
  struct Breaks {
    std::vector<Span> silences;
    size_t jumps = 0;
    Span longest_whole{};
    double Silent() const;
    double LongestSilence() const;
  };
  Breaks BreaksOf(double frequency, Span inside) const;

 private:
  size_t At(double seconds) const;
  std::vector<int16_t> samples_;
};

// Records what the session's sound device plays, from construction on. The session records it
// from the device's monitor outside Wine (scripts/lib/sound-server), as a listener hears it:
// Wine's own waveIn, with a tenth of a second of buffer, lost sound on a busy machine where the
// device had none missing.
class SoundRecorder {
 public:
  SoundRecorder();
  ~SoundRecorder();
  SoundRecorder(const SoundRecorder&) = delete;
  SoundRecorder& operator=(const SoundRecorder&) = delete;

  bool Started() const { return started_; }
  // The left channel of what was recorded until now.
  Recording Stop();

 private:
  std::wstring file_;
  bool started_ = false;
};

// Plays a tone of the test's own on the default output; Play returns the seconds from the call
// until the device began to play it, so that a recording can place the call.
class MarkerTone {
 public:
  MarkerTone();
  ~MarkerTone();
  MarkerTone(const MarkerTone&) = delete;
  MarkerTone& operator=(const MarkerTone&) = delete;
  std::optional<double> Play(double frequency, double seconds);

 private:
  HWAVEOUT output_ = nullptr;
  WAVEHDR header_{};
  std::vector<int16_t> samples_;
};

// Stops or starts the session's sound server, or freezes it where it is (it answers nothing)
// and thaws it, and waits until it is done; false when the session has no sound device to
// control.
bool StopSoundServer();
bool StartSoundServer();
bool FreezeSoundServer();
bool ThawSoundServer();
// Ends every program's stream on the session's device, as Windows invalidates one whose device
// went or changed its format; the device itself stays.
bool KillSoundStreams();
// How many streams programs play into the session's device now; nothing without a device.
std::optional<int> CountSoundStreams();

}  // namespace quorvane::e2e
