#include "player/timing/clip_clock.h"

#include <gtest/gtest.h>

#include "support/manual_time.h"

namespace quorvane::player {
namespace {

TEST(ClipClock, RunsFromWhereItWasStartedOrSetAndReadingChangesNothing) {
  auto time = std::make_shared<testing::ManualTime>();
  ClipClock clock(time);
  EXPECT_FALSE(clock.Running());
  EXPECT_EQ(clock.Seconds(), 0);
  clock.StartAt(2.0);
  time->Advance(0.5);
  EXPECT_DOUBLE_EQ(clock.Seconds(), 2.5);
  EXPECT_DOUBLE_EQ(clock.Seconds(), 2.5);
  clock.StartAt(9.0);  // runs already: no change
  EXPECT_DOUBLE_EQ(clock.Seconds(), 2.5);
  // A device a little behind sets it back; it runs on from there.
  clock.Set(2.4);
  time->Advance(0.1);
  EXPECT_DOUBLE_EQ(clock.Seconds(), 2.5);
  clock.Stop();
  EXPECT_FALSE(clock.Running());
  EXPECT_EQ(clock.Seconds(), 0);
}

}  // namespace
}  // namespace quorvane::player
