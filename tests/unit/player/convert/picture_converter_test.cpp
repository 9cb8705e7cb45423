#include "player/convert/picture_converter.h"

#include <gtest/gtest.h>

extern "C" {
#include <libswscale/swscale.h>
}

#include <cmath>

#include "reference/pictures.h"
#include "support/clips.h"

namespace quorvane::player {
namespace {

using reference::FfmpegPicture;
using reference::Psnr;

TEST(PictureConverter, ScaledPicturesAreAsGoodAsFfmpegsBilinearScaling) {
  AVFrame* frame = reference::TenthPicture(testing::Clip("medium.rm"));
  ASSERT_NE(frame, nullptr);
  ASSERT_EQ(frame->width, 320);
  PictureConverter converter;
  struct Case {
    int width, height;
  } cases[] = {{480, 360}, {640, 480}, {400, 299}, {401, 299}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    Picture ours;
    ASSERT_TRUE(converter.Convert(frame, c.width, c.height, ours));
    ASSERT_EQ(ours.width, c.width);
    Picture bicubic = FfmpegPicture(frame, c.width, c.height, SWS_BICUBIC);
    Picture bilinear = FfmpegPicture(frame, c.width, c.height, SWS_BILINEAR);
    double mine = Psnr(ours, bicubic);
    double theirs = Psnr(bilinear, bicubic);
    std::printf("%d x %d: %.2f dB against FFmpeg's bicubic (its bilinear: %.2f dB)\n", c.width,
                c.height, mine, theirs);
    EXPECT_GE(mine, theirs - 0.5);  // weights in sixty-fourths: within half a decibel
  }
  // At its own size the conversion is FFmpeg's, pixel for pixel; shrinking averages areas.
  Picture own;
  ASSERT_TRUE(converter.Convert(frame, 0, 0, own));
  EXPECT_EQ(Psnr(own, FfmpegPicture(frame, 320, 240, SWS_BICUBIC)), INFINITY);
  Picture half;
  ASSERT_TRUE(converter.Convert(frame, 160, 120, half));
  EXPECT_GE(Psnr(half, FfmpegPicture(frame, 160, 120, SWS_AREA)), 35.0);
  av_frame_free(&frame);
}

}  // namespace
}  // namespace quorvane::player
