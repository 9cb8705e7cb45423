// When a clip's pictures and sound are due, from the stamps in the file: plain rules on numbers,
// so that a damaged or oddly written file keeps a steady pace.
#pragma once

#include <cstdint>
#include <optional>

namespace quorvane::player {

// Seconds one picture stays when nothing better is known: 15 pictures a second.
constexpr double kDefaultFrameDuration = 1.0 / 15;

// Seconds one picture stays at a frame rate of num/den a second; the default for an unknown
// rate, and never shorter than 5 ms or longer than a second.
double FrameDurationAt(int num, int den);

// The latest time a clip's pictures and sound may have: a damaged clip can decode into far more
// than it holds, so it ends a little after the length its header gives (in microseconds), when
// it gives one; without one, never.
double LatestTime(std::optional<int64_t> length_us);

// Seconds from the clip's start (origin) that a stamp in units of time_base seconds gives, or
// nothing without a stamp or a usable time base.
std::optional<double> StampSeconds(std::optional<int64_t> stamp, double time_base, double origin);

// A frame's time: its stamp, kept to the stream's own pace. A stamp that is missing, goes back
// (some muxers stamp every sound packet 0) or leaps seconds ahead (a damaged file) gives way to
// the time the previous frame's length leads to (expected).
double FrameTime(std::optional<double> stamp, double expected);

// After the file is read again from its start for another sound stream, sound stamped before
// the pictures' time (from) is left out.
bool SoundBefore(std::optional<double> stamp, double from);

}  // namespace quorvane::player
