#include "player/decode/frame_times.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quorvane::player {
namespace {

TEST(FrameTimes, APicturesLengthComesFromTheRateWithinBounds) {
  EXPECT_DOUBLE_EQ(FrameDurationAt(25, 1), 0.04);
  EXPECT_DOUBLE_EQ(FrameDurationAt(30000, 1001), 1001.0 / 30000);
  EXPECT_DOUBLE_EQ(FrameDurationAt(0, 1), kDefaultFrameDuration);
  EXPECT_DOUBLE_EQ(FrameDurationAt(15, 0), kDefaultFrameDuration);
  EXPECT_DOUBLE_EQ(FrameDurationAt(-15, 1), kDefaultFrameDuration);
  EXPECT_DOUBLE_EQ(FrameDurationAt(100000, 1), 0.005) << "a damaged rate: 100,000 a second";
  EXPECT_DOUBLE_EQ(FrameDurationAt(1, 60), 1.0) << "one picture a minute";
}

TEST(FrameTimes, AClipEndsALittleAfterTheLengthInItsHeader) {
  EXPECT_DOUBLE_EQ(LatestTime(3'500'000), 5.5);
  EXPECT_TRUE(std::isinf(LatestTime(std::nullopt)));
  EXPECT_TRUE(std::isinf(LatestTime(0))) << "a length of nothing says nothing";
  EXPECT_TRUE(std::isinf(LatestTime(-1)));
}

TEST(FrameTimes, AStampIsSecondsFromTheClipsStart) {
  EXPECT_DOUBLE_EQ(*StampSeconds(1500, 0.001, 0.0), 1.5);
  EXPECT_DOUBLE_EQ(*StampSeconds(1500, 0.001, 0.5), 1.0);
  EXPECT_EQ(StampSeconds(std::nullopt, 0.001, 0), std::nullopt);
  EXPECT_EQ(StampSeconds(1, std::numeric_limits<double>::infinity(), 0), std::nullopt)
      << "a time base of 1/0";
  EXPECT_EQ(StampSeconds(0, std::numeric_limits<double>::quiet_NaN(), 0), std::nullopt);
}

TEST(FrameTimes, AStampThatJumpsGivesWayToTheStreamsOwnPace) {
  EXPECT_DOUBLE_EQ(FrameTime(1.04, 1.0), 1.04) << "a little late: believed";
  EXPECT_DOUBLE_EQ(FrameTime(0.997, 1.0), 0.997) << "jitter within 5 ms: believed";
  EXPECT_DOUBLE_EQ(FrameTime(0.0, 1.0), 1.0) << "every packet stamped 0";
  EXPECT_DOUBLE_EQ(FrameTime(7.0, 1.0), 1.0) << "seconds ahead: a damaged stamp";
  EXPECT_DOUBLE_EQ(FrameTime(5.9, 1.0), 5.9);
  EXPECT_DOUBLE_EQ(FrameTime(std::nullopt, 1.0), 1.0);
  EXPECT_DOUBLE_EQ(FrameTime(-0.003, 0.0), 0.0) << "never before the clip's start";
}

TEST(FrameTimes, AfterANewStartSoundBeforeThePicturesIsLeftOut) {
  EXPECT_TRUE(SoundBefore(1.0, 2.0));
  EXPECT_FALSE(SoundBefore(1.96, 2.0)) << "a little overlap still plays";
  EXPECT_FALSE(SoundBefore(2.5, 2.0));
  EXPECT_FALSE(SoundBefore(std::nullopt, 2.0)) << "unstamped sound plays";
}

}  // namespace
}  // namespace quorvane::player
