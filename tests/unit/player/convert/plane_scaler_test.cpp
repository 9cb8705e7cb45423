#include "player/convert/plane_scaler.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace quorvane::player {
namespace {

std::vector<uint8_t> Enlarged(const std::vector<uint8_t>& in, int width, int height, int stride,
                              int to_width, int to_height, bool vector_code) {
  // The output rows padded too, each plane exactly as large as it must be: AddressSanitizer
  // sees any read or write past them.
  int out_stride = to_width + 3;
  std::vector<uint8_t> out(static_cast<size_t>(out_stride) * static_cast<size_t>(to_height));
  PlaneScaler scaler;
  scaler.Enlarge({in.data(), stride, width, height}, {out.data(), out_stride, to_width, to_height},
                 vector_code);
  std::vector<uint8_t> packed;
  for (int y = 0; y < to_height; ++y) {
    packed.insert(packed.end(), out.begin() + y * out_stride,
                  out.begin() + y * out_stride + to_width);
  }
  return packed;
}

TEST(PlaneScaler, InterpolatesBetweenCentredSamples) {
  // Two samples across four: the outer ones stay, the inner ones lie a quarter of the way in.
  EXPECT_EQ(Enlarged({0, 64}, 2, 1, 2, 4, 1, false), (std::vector<uint8_t>{0, 16, 48, 64}));
  // Down a column the same way; the same size is a copy.
  EXPECT_EQ(Enlarged({0, 64}, 1, 2, 1, 1, 4, false), (std::vector<uint8_t>{0, 16, 48, 64}));
  EXPECT_EQ(Enlarged({9, 8, 7, 6}, 2, 2, 2, 2, 2, false), (std::vector<uint8_t>{9, 8, 7, 6}));
  // Three across six, a flat plane stays flat.
  EXPECT_EQ(Enlarged({10, 20, 30}, 3, 1, 3, 6, 1, false),
            (std::vector<uint8_t>{10, 13, 18, 23, 28, 30}));
  EXPECT_EQ(Enlarged(std::vector<uint8_t>(6, 77), 3, 2, 3, 7, 5, false),
            std::vector<uint8_t>(35, 77));
  EXPECT_TRUE(PlaneScaler::Enlarges(2, 2, 2, 3));
  EXPECT_FALSE(PlaneScaler::Enlarges(1, 4, 8, 8));
  EXPECT_FALSE(PlaneScaler::Enlarges(8, 8, 7, 9));
}

TEST(PlaneScaler, VectorCodeGivesTheSameSamplesAsTheOneByOneWay) {
  std::mt19937 random(7);
  struct Case {
    int width, height, to_width, to_height;
  } cases[] = {{320, 240, 480, 360}, {160, 120, 240, 360}, {56, 44, 84, 66},   {17, 3, 18, 7},
               {33, 9, 1021, 767},   {160, 100, 320, 200}, {100, 50, 101, 50}, {2, 2, 640, 480},
               {176, 144, 176, 290}, {31, 31, 47, 31}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " to " +
                 std::to_string(c.to_width) + " x " + std::to_string(c.to_height));
    int stride = c.width + 5;
    std::vector<uint8_t> in(static_cast<size_t>(stride) * static_cast<size_t>(c.height));
    for (uint8_t& sample : in) sample = static_cast<uint8_t>(random());
    std::vector<uint8_t> vectors =
        Enlarged(in, c.width, c.height, stride, c.to_width, c.to_height, true);
    std::vector<uint8_t> scalar =
        Enlarged(in, c.width, c.height, stride, c.to_width, c.to_height, false);
    EXPECT_EQ(vectors, scalar);
  }
}

}  // namespace
}  // namespace quorvane::player
