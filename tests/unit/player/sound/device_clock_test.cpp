#include "player/sound/device_clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

namespace quorvane::player {
namespace {

// A device that started at moment 10 and reports its position in steps of 10 ms, read now and
// then a few ms after a step: the clock must follow the position heard, not the steps.
TEST(DeviceClock, FollowsTheHeardPositionThroughItsStepsFromTheSilenceBeforeTheSound) {
  DeviceClock clock;
  clock.GaveSilence(0.06);  // the lead-in
  clock.GaveSound(2.0, 0);
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

// Readings about a period apart, each a step's fraction late and not in step with the device: the
// clock finds the heard position. A device that falls behind (it ran dry for 30 ms) is followed at
// its next reading, to within a step, where the readings before would hold the clock ahead; and
// finely again a few readings on.
TEST(DeviceClock, FindsTheHeardPositionFromReadingsAPeriodApartAndFollowsADeviceThatFellBehind) {
  DeviceClock clock;
  clock.GaveSilence(0.06);
  clock.GaveSound(5.0, 0);
  double stall = 0;  // seconds the device has lost
  for (int i = 0; i < 100; ++i) {
    double t = 10.0 + 0.0113 * i + 0.0013 * (i % 7);
    if (i == 60) stall = 0.03;
    double heard = t - 10.0 - stall;
    clock.Read(std::floor(heard / 0.01) * 0.01, t);
    if (i < 8) continue;  // a few readings to find the edge
    std::optional<double> clip = clock.ClipSeconds(t);
    ASSERT_TRUE(clip) << i;
    bool finding_again = i >= 60 && i < 68;
    EXPECT_NEAR(*clip, heard - 0.06, finding_again ? 0.0105 : 0.0035) << "reading " << i;
  }
}

// Silences of late sound hold the clip's place; a stream opened in the middle of a clip (a new
// device, the end of a rest) counts down to the place its sound starts from; a sound given in
// two pieces that do not follow one another (a piece left out) is counted from each piece's place.
TEST(DeviceClock, CountsEachPieceOfSoundFromItsPlaceAndHoldsThroughSilences) {
  struct Case {
    const char* name;
    void (*give)(DeviceClock&);
    std::vector<std::pair<double, double>> at;  // position, clip place
  } cases[] = {
      {"late sound",
       [](DeviceClock& c) {
         c.GaveSilence(0.1);
         c.GaveSound(0.5, 0);
         c.GaveSilence(0.2);
         c.GaveSound(0.3, 0.5);
       },
       {{0.05, -0.05}, {0.35, 0.25}, {0.65, 0.5}, {0.79, 0.5}, {0.9, 0.6}, {1.1, 0.8}}},
      {"a new stream in the middle of the clip",
       [](DeviceClock& c) {
         c.GaveSilence(0.06);
         c.GaveSound(1.0, 12.5);
       },
       {{0.01, 12.45}, {0.06, 12.5}, {0.56, 13.0}}},
      {"a piece left out",
       [](DeviceClock& c) {
         c.GaveSound(0.2, 0);
         c.GaveSound(0.2, 0.5);
       },
       {{0.1, 0.1}, {0.3, 0.6}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (auto [position, place] : c.at) {
      DeviceClock clock;
      c.give(clock);
      clock.Read(position, 5.0);
      ASSERT_TRUE(clock.ClipSeconds(5.0)) << position;
      EXPECT_NEAR(*clock.ClipSeconds(5.0), place, 1e-9) << position;
    }
  }
}

TEST(DeviceClock, EndsAfterTheLastSoundAndStartsANewClipFromSilence) {
  DeviceClock clock;
  clock.GaveSilence(0.1);
  clock.GaveSound(0.5, 0);
  clock.GaveSilence(0.3);
  // Never past what was given; the end only once the clip's sound has ended.
  clock.Read(0.9, 5.0);
  EXPECT_NEAR(clock.Position(6.0).value_or(0), 0.9, 1e-9);
  EXPECT_NEAR(clock.ClipSeconds(6.0).value_or(0), 0.5, 1e-9);
  EXPECT_FALSE(clock.Over(6.0));
  clock.End();
  EXPECT_TRUE(clock.Over(6.0));
  EXPECT_FALSE(clock.ClipSeconds(6.0));
  // The next clip on the same stream: what came before is silence to it, and its own first
  // sound is counted down to.
  clock.NewClip();
  EXPECT_FALSE(clock.Over(6.0));
  EXPECT_FALSE(clock.ClipSeconds(6.0)) << "none of the new clip's sound given yet";
  clock.GaveSound(1.0, 0);
  EXPECT_NEAR(clock.ClipSeconds(5.0).value_or(1), 0, 1e-9);
  EXPECT_NEAR(clock.ClipSeconds(5.5).value_or(1), 0.5, 1e-9);
}

}  // namespace
}  // namespace quorvane::player
