#include "player/timing/clip_clock.h"

namespace quorvane::player {

namespace {

std::chrono::steady_clock::duration Span(double seconds) {
  return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
      std::chrono::duration<double>(seconds));
}

}  // namespace

void ClipClock::StartAt(double seconds) {
  if (!origin_) Set(seconds);
}

void ClipClock::Set(double seconds) { origin_ = time_->Now() - Span(seconds); }

double ClipClock::Seconds() const {
  if (!origin_) return 0;
  return std::chrono::duration<double>(time_->Now() - *origin_).count();
}

}  // namespace quorvane::player
