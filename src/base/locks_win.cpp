#include <windows.h>

#include <cmath>

#include "base/locks.h"

namespace quorvane::base {

static_assert(sizeof(SRWLOCK) == sizeof(void*) && sizeof(CONDITION_VARIABLE) == sizeof(void*));

namespace {
SRWLOCK* Srw(void*& lock) { return reinterpret_cast<SRWLOCK*>(&lock); }
CONDITION_VARIABLE* Condition(void*& condition) {
  return reinterpret_cast<CONDITION_VARIABLE*>(&condition);
}
}  // namespace

void Mutex::lock() noexcept { AcquireSRWLockExclusive(Srw(srw_)); }
bool Mutex::try_lock() noexcept { return TryAcquireSRWLockExclusive(Srw(srw_)) != 0; }
void Mutex::unlock() noexcept { ReleaseSRWLockExclusive(Srw(srw_)); }

void ConditionVariable::notify_one() noexcept { WakeConditionVariable(Condition(condition_)); }
void ConditionVariable::notify_all() noexcept { WakeAllConditionVariable(Condition(condition_)); }

unsigned long ConditionVariable::MillisecondsOf(double seconds) {
  if (!(seconds > 0)) return 0;
  if (seconds >= kLongest) return kInfinite;
  return static_cast<unsigned long>(std::ceil(seconds * 1000));
}

bool ConditionVariable::WaitMs(std::unique_lock<Mutex>& lock, unsigned long ms) {
  // The lock stays held by this thread in the unique_lock's eyes: the system gives it back taken.
  if (SleepConditionVariableSRW(Condition(condition_), Srw(lock.mutex()->srw_), ms, 0)) return true;
  return GetLastError() != ERROR_TIMEOUT;
}

}  // namespace quorvane::base
