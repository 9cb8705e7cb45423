// The player's lock and condition variable over Windows' own: waits end at their time and not
// before, a notify wakes every waiter, and the lock excludes.
#include "base/locks.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace quorvane::base {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

TEST(Locks, AWaitNobodyEndsLastsItsTimeAndSaysSo) {
  Mutex mutex;
  ConditionVariable condition;
  std::unique_lock lock(mutex);
  auto start = Clock::now();
  EXPECT_EQ(condition.wait_for(lock, milliseconds(30)), std::cv_status::timeout);
  EXPECT_GE(Clock::now() - start, milliseconds(30));
  EXPECT_TRUE(lock.owns_lock());

  start = Clock::now();
  EXPECT_FALSE(
      condition.wait_for(lock, std::chrono::duration<double>(0.0305), [] { return false; }));
  EXPECT_GE(Clock::now() - start, std::chrono::microseconds(30500));
  // Nothing to wait for, or no time: at once.
  EXPECT_TRUE(condition.wait_for(lock, std::chrono::hours(1000), [] { return true; }));
  EXPECT_EQ(condition.wait_for(lock, milliseconds(-5)), std::cv_status::timeout);
}

TEST(Locks, ANotifyWakesEveryWaiterAndTheLockExcludes) {
  Mutex mutex;
  ConditionVariable condition;
  bool go = false;
  int woken = 0;
  std::vector<std::thread> waiters;
  for (int i = 0; i < 3; ++i) {
    waiters.emplace_back([&] {
      std::unique_lock lock(mutex);
      if (condition.wait_for(lock, std::chrono::seconds(20), [&] { return go; })) ++woken;
    });
  }
  auto start = Clock::now();
  {
    std::lock_guard lock(mutex);
    go = true;
  }
  condition.notify_all();
  for (auto& waiter : waiters) waiter.join();
  EXPECT_EQ(woken, 3);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));

  std::unique_lock held(mutex);
  bool taken_while_held = true;
  std::thread([&] { taken_while_held = mutex.try_lock(); }).join();
  EXPECT_FALSE(taken_while_held);
  held.unlock();
  bool taken_after = false;
  std::thread([&] {
    taken_after = mutex.try_lock();
    if (taken_after) mutex.unlock();
  }).join();
  EXPECT_TRUE(taken_after);
}

}  // namespace
}  // namespace quorvane::base
