#include "player/output/picture_fit.h"

#include <gtest/gtest.h>

namespace quorvane::player {
namespace {

TEST(PictureFit, KeepsProportionsCentredBetweenBands) {
  struct Case {
    int area_w, area_h, pic_w, pic_h;
    Box want;
  } cases[] = {
      {145, 129, 160, 120, {0, 10, 145, 109}},  // wider than the area: bands above and below
      {145, 129, 56, 44, {0, 7, 145, 114}},     // enlarged to the width
      {145, 129, 100, 200, {40, 0, 65, 129}},   // taller: bands left and right
      {145, 129, 145, 129, {0, 0, 145, 129}},   // the area's own proportions
      {145, 129, 0, 0, {0, 0, 145, 129}},       // size not known yet: the whole area
      {0, 129, 160, 120, {0, 0, 0, 129}},       // no area
      {3, 200, 4000, 10, {0, 99, 3, 1}},        // never thinner than a pixel
  };
  for (const Case& c : cases) {
    Box got = FitPicture(c.area_w, c.area_h, c.pic_w, c.pic_h);
    EXPECT_EQ(got.left, c.want.left) << c.pic_w << " x " << c.pic_h;
    EXPECT_EQ(got.top, c.want.top) << c.pic_w << " x " << c.pic_h;
    EXPECT_EQ(got.width, c.want.width) << c.pic_w << " x " << c.pic_h;
    EXPECT_EQ(got.height, c.want.height) << c.pic_w << " x " << c.pic_h;
  }
}

}  // namespace
}  // namespace quorvane::player
