// The measuring programs' clock: CLOCK_MONOTONIC in seconds (or another clock's seconds, such as
// the process's processor time), and sleeping until a moment on it.
#pragma once

#include <time.h>

#include <cerrno>
#include <cmath>

namespace quorvane::bench {

inline double SecondsOn(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

inline double Now() { return SecondsOn(CLOCK_MONOTONIC); }

// Resumed when a signal cuts it short.
inline void SleepUntil(double time) {
  timespec until{static_cast<time_t>(time), static_cast<long>((time - std::floor(time)) * 1e9)};
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
}

}  // namespace quorvane::bench
