#include "player/timing/clip_clock.h"

#include <gtest/gtest.h>

namespace quorvane::player {
namespace {

TEST(ClipClock, RunsFromWhereItWasStartedOrSetAndReadingChangesNothing) {
  ClipClock::TimePoint now{};
  ClipClock clock([&] { return now; });
  EXPECT_FALSE(clock.Running());
  EXPECT_EQ(clock.Seconds(), 0);
  clock.StartAt(2.0);
  now += std::chrono::milliseconds(500);
  EXPECT_DOUBLE_EQ(clock.Seconds(), 2.5);
  EXPECT_DOUBLE_EQ(clock.Seconds(), 2.5);
  clock.StartAt(9.0);  // runs already: no change
  EXPECT_DOUBLE_EQ(clock.Seconds(), 2.5);
  // A device a little behind sets it back; it runs on from there.
  clock.Set(2.4);
  now += std::chrono::milliseconds(100);
  EXPECT_DOUBLE_EQ(clock.Seconds(), 2.5);
  clock.Stop();
  EXPECT_FALSE(clock.Running());
  EXPECT_EQ(clock.Seconds(), 0);
}

}  // namespace
}  // namespace quorvane::player
