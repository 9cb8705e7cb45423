#include "config/font_fit.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvane::config {
namespace {

// Each case: the search from start down to smallest, the captions fitting at and below
// fits_from; what it finds, and every size it asked about, in order.
TEST(FontFit, TakesTheLargestSizeThatFitsAskingOnlyAboutSizesInItsRange) {
  struct Case {
    int start, smallest, fits_from;
    std::optional<int> found;
    std::vector<int> asked;
  } cases[] = {
      {900, 600, 900, 900, {900}},                               // the start fits
      {900, 600, 830, 825, {900, 875, 850, 825}},                // quarter points down
      {700, 600, 500, std::nullopt, {700, 675, 650, 625, 600}},  // the smallest tried last
      {710, 600, 0, std::nullopt, {710, 685, 660, 635, 610}},    // never below the smallest
      {1125, 1125, 1000, std::nullopt, {1125}},                  // one size only
      {575, 600, 900, std::nullopt, {}},                         // a start below the smallest
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start);
    std::vector<int> asked;
    auto fits = [&](int size) {
      asked.push_back(size);
      return size <= c.fits_from;
    };
    EXPECT_EQ(FittingSize(c.start, c.smallest, fits), c.found);
    EXPECT_EQ(asked, c.asked);
  }
}

TEST(FontFit, StopsAtTheFirstFitFromTheTopEvenIfASmallerSizeWouldNot) {
  // Text extents are not monotonic in the size (hinting): the largest that fits wins.
  std::vector<int> asked;
  auto odd = [&asked](int size) {
    asked.push_back(size);
    return size == 850 || size == 700;
  };
  EXPECT_EQ(FittingSize(900, 600, odd), 850);
  EXPECT_EQ(asked, (std::vector<int>{900, 875, 850}));
}

}  // namespace
}  // namespace quorvane::config
