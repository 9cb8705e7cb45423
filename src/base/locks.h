// The lock and the condition variable the player's threads share. On Windows they are the
// system's own slim reader/writer lock and condition variable: taken, released and waited on in
// the process itself, where the C++ library's (over its POSIX layer) waits on kernel events and
// semaphores, a trip into the kernel at every notify and every wait. Elsewhere they are the
// standard library's.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace quorvane::base {

#ifdef _WIN32

// A non-recursive lock (an SRWLOCK held exclusively); usable with std::lock_guard and
// std::unique_lock.
class Mutex {
 public:
  Mutex() = default;
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;

  void lock() noexcept;
  bool try_lock() noexcept;
  void unlock() noexcept;

 private:
  friend class ConditionVariable;
  void* srw_ = nullptr;  // SRWLOCK_INIT
};

// A condition variable over Mutex (a CONDITION_VARIABLE). Waits may end without a notify, as
// the standard one's may.
class ConditionVariable {
 public:
  ConditionVariable() = default;
  ConditionVariable(const ConditionVariable&) = delete;
  ConditionVariable& operator=(const ConditionVariable&) = delete;

  void notify_one() noexcept;
  void notify_all() noexcept;

  void wait(std::unique_lock<Mutex>& lock) { WaitMs(lock, kInfinite); }
  template <class Predicate>
  void wait(std::unique_lock<Mutex>& lock, Predicate ready) {
    while (!ready()) wait(lock);
  }

  template <class Rep, class Period>
  std::cv_status wait_for(std::unique_lock<Mutex>& lock,
                          const std::chrono::duration<Rep, Period>& time) {
    return WaitMs(lock, Milliseconds(time)) ? std::cv_status::no_timeout : std::cv_status::timeout;
  }
  template <class Rep, class Period, class Predicate>
  bool wait_for(std::unique_lock<Mutex>& lock, const std::chrono::duration<Rep, Period>& time,
                Predicate ready) {
    auto until = std::chrono::steady_clock::now() +
                 std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                     std::chrono::duration<double>(std::min(Seconds(time), kLongest)));
    while (!ready()) {
      auto left = until - std::chrono::steady_clock::now();
      if (left <= left.zero()) return ready();
      wait_for(lock, left);
    }
    return true;
  }

 private:
  static constexpr unsigned long kInfinite = 0xFFFFFFFFul;
  // Longer waits are waits without end (some 46 days).
  static constexpr double kLongest = 4.0e6;

  template <class Rep, class Period>
  static double Seconds(const std::chrono::duration<Rep, Period>& time) {
    return std::chrono::duration<double>(time).count();
  }
  // Rounded up, so that a wait never ends before its time.
  template <class Rep, class Period>
  static unsigned long Milliseconds(const std::chrono::duration<Rep, Period>& time) {
    return MillisecondsOf(Seconds(time));
  }
  static unsigned long MillisecondsOf(double seconds);
  // False when the time ran out.
  bool WaitMs(std::unique_lock<Mutex>& lock, unsigned long ms);

  void* condition_ = nullptr;  // CONDITION_VARIABLE_INIT
};

#else

using Mutex = std::mutex;
using ConditionVariable = std::condition_variable;

#endif

}  // namespace quorvane::base
