#include "saver/placement.h"

#include <gtest/gtest.h>

#include <random>

namespace quorvane::saver {
namespace {

using settings::SizeSettings;

double Never() {
  ADD_FAILURE() << "the centre draws no random number";
  return 0;
}

TEST(PlacePicture, SizesAndCentresThePicture) {
  struct Case {
    float sh, sw;
    int ch, cw;
    SizeSettings size;
    Placement want;
  } cases[] = {
      // 120 x 160 at x2.0 on 600 x 800: 240 x 320 at top 180, left 240.
      {600, 800, 120, 160, {2, false}, {240, 320, 180, 240}},
      {600, 800, 120, 160, {0.5, false}, {60, 80, 270, 360}},
      {600, 800, 121, 161, {1.5, false}, {181.5f, 241.5f, 209.25f, 279.25f}},
      // At least as tall as the window: SH - 2, and the width kept.
      {600, 800, 600, 160, {1, false}, {598, 160, 1, 320}},
      {600, 800, 100, 900, {1, false}, {100, 798, 250, 1}},
      {600, 800, 400, 500, {2, false}, {598, 798, 1, 1}},
      // Full screen: two units less than the window each way, a frame of 1 all round.
      {600, 800, 120, 160, {1, true}, {598, 798, 1, 1}},
      {600, 800, 0, 0, {1, true}, {598, 798, 1, 1}},
      // The free factor not given, a negative one, and no picture at all.
      {600, 800, 120, 160, {0, false}, {0, 0, 300, 400}},
      {600, 800, 120, 160, {-2, false}, {0, 0, 300, 400}},
      {600, 800, 0, 0, {1e308 * 10, false}, {0, 0, 300, 400}},
      {600, 800, 120, 160, {1e308 * 10, false}, {598, 798, 1, 1}},
      // A window smaller than the frame.
      {1, 1, 120, 160, {1, true}, {0, 0, 0.5f, 0.5f}},
  };
  for (const Case& c : cases) {
    Placement got = PlacePicture(c.sh, c.sw, c.ch, c.cw, c.size, false, Never);
    SCOPED_TRACE(testing::Message() << c.ch << "x" << c.cw << " factor " << c.size.factor);
    EXPECT_FLOAT_EQ(got.height, c.want.height);
    EXPECT_FLOAT_EQ(got.width, c.want.width);
    EXPECT_FLOAT_EQ(got.top, c.want.top);
    EXPECT_FLOAT_EQ(got.left, c.want.left);
  }
}

TEST(PlacePicture, RandomPlacesNeverTouchTheTopOrLeftEdge) {
  std::mt19937 random(42);
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  int draws = 0;
  auto draw = [&] {
    ++draws;
    return uniform(random);
  };
  bool bottom_reached = false;
  bool top_most = false;
  for (int i = 0; i < 20000; ++i) {
    Placement got = PlacePicture(600, 800, 120, 160, {2, false}, true, draw);
    ASSERT_EQ(got.top, std::floor(got.top));
    ASSERT_GE(got.top, 1);
    ASSERT_LE(got.top, 600 - 240);
    ASSERT_GE(got.left, 1);
    ASSERT_LE(got.left, 800 - 320);
    bottom_reached = bottom_reached || got.top == 360;
    top_most = top_most || got.top == 1;
  }
  EXPECT_EQ(draws, 40000);
  EXPECT_TRUE(bottom_reached);
  EXPECT_TRUE(top_most);
  // Full screen at random: 1 or 2 each way.
  for (double r : {0.0, 0.49, 0.5, 0.999}) {
    Placement got = PlacePicture(600, 800, 120, 160, {1, true}, true, [r] { return r; });
    EXPECT_EQ(got.top, r < 0.5 ? 1 : 2) << r;
  }
  // The first draw is the top's.
  int n = 0;
  Placement got =
      PlacePicture(600, 800, 100, 100, {1, false}, true, [&] { return n++ == 0 ? 0.0 : 0.999; });
  EXPECT_EQ(got.top, 1);
  EXPECT_EQ(got.left, 700);
}

}  // namespace
}  // namespace quorvane::saver
