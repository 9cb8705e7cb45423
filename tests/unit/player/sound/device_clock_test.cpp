#include "player/sound/device_clock.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quorvane::player {
namespace {

// A device that started at moment 10 and reports its position in steps of 10 ms, read now and
// then a few ms after a step: the clock must follow the position heard, not the steps.
TEST(DeviceClock, FollowsTheHeardPositionThroughItsStepsFromTheSilenceBeforeTheSound) {
  DeviceClock clock;
  clock.Gave(0.06, false);  // the lead-in
  clock.Gave(2.0, true);
  EXPECT_FALSE(clock.ClipSeconds(10.0)) << "no reading yet";
  clock.Read(0, 10.004);
  EXPECT_FALSE(clock.ClipSeconds(10.004)) << "a position that has not moved";
  for (double t = 10.0; t < 11.0; t += 0.0037) {
    double stepped = std::floor((t - 10.0) / 0.01) * 0.01;
    clock.Read(stepped, t);
    if (t < 10.02) continue;  // one step seen is not yet the edge
    std::optional<double> clip = clock.ClipSeconds(t + 0.002);
    ASSERT_TRUE(clip) << t;
    // Counting down through the lead-in, then the sound's seconds.
    EXPECT_NEAR(*clip, t + 0.002 - 10.0 - 0.06, 0.0011) << t;
  }
}

TEST(DeviceClock, HoldsThroughSilencesOfLateSoundAndEndsAfterTheLastSound) {
  DeviceClock clock;
  clock.Gave(0.1, false);
  clock.Gave(0.5, true);
  clock.Gave(0.2, false);  // the sound came late
  clock.Gave(0.3, true);
  struct Case {
    double position, clip;
  } cases[] = {{0.05, -0.05}, {0.35, 0.25}, {0.65, 0.5}, {0.79, 0.5}, {0.9, 0.6}, {1.1, 0.8}};
  for (Case c : cases) {
    DeviceClock at = clock;
    at.Read(c.position, 5.0);
    ASSERT_TRUE(at.ClipSeconds(5.0)) << c.position;
    EXPECT_NEAR(*at.ClipSeconds(5.0), c.clip, 1e-9) << c.position;
  }
  // Never past what was given; the end only once the clip's sound has ended.
  clock.Read(1.1, 5.0);
  EXPECT_NEAR(clock.Position(6.0).value_or(0), 1.1, 1e-9);
  EXPECT_NEAR(clock.ClipSeconds(6.0).value_or(0), 0.8, 1e-9);
  clock.End();
  EXPECT_FALSE(clock.ClipSeconds(6.0));
}

}  // namespace
}  // namespace quorvane::player
