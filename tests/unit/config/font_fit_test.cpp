#include "config/font_fit.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvane::config {
namespace {

// A predicate that fits at and below a size, and notes every size it was asked about.
struct Measure {
  int fits_from;
  std::vector<int> asked;
  std::function<bool(int)> Predicate() {
    return [this](int size) {
      asked.push_back(size);
      return size <= fits_from;
    };
  }
};

TEST(FontFit, TheStartThatFitsIsKeptAndNothingSmallerIsTried) {
  Measure measure{900, {}};
  EXPECT_EQ(FittingSize(900, 600, measure.Predicate()), 900);
  EXPECT_EQ(measure.asked, std::vector<int>{900});
}

TEST(FontFit, TheFirstSizeThatFitsGoingDownInQuarterPoints) {
  Measure measure{830, {}};
  EXPECT_EQ(FittingSize(900, 600, measure.Predicate()), 825);
  EXPECT_EQ(measure.asked, (std::vector<int>{900, 875, 850, 825}));
}

TEST(FontFit, NothingWhenNoSizeFitsDownToTheSmallestWhichIsTriedLast) {
  Measure measure{500, {}};
  EXPECT_EQ(FittingSize(700, 600, measure.Predicate()), std::nullopt);
  EXPECT_EQ(measure.asked, (std::vector<int>{700, 675, 650, 625, 600}));
}

TEST(FontFit, TheSmallestItselfWhenOnlyItFits) {
  Measure measure{600, {}};
  EXPECT_EQ(FittingSize(1125, 600, measure.Predicate()), 600);
  EXPECT_EQ(measure.asked.size(), 22u);
  EXPECT_EQ(measure.asked.front(), 1125);
  EXPECT_EQ(measure.asked.back(), 600);
}

TEST(FontFit, NeverAsksAboutASizeAboveTheStartOrBelowTheSmallest) {
  // A start that is no whole number of steps above the smallest: 610 is the last step above it.
  Measure measure{0, {}};
  EXPECT_EQ(FittingSize(910, 600, measure.Predicate()), std::nullopt);
  ASSERT_FALSE(measure.asked.empty());
  for (int size : measure.asked) {
    EXPECT_LE(size, 910);
    EXPECT_GE(size, 600);
  }
  EXPECT_EQ(measure.asked.back(), 610);
}

TEST(FontFit, OneSizeOnlyWhenTheStartIsTheSmallest) {
  Measure fits{1125, {}};
  EXPECT_EQ(FittingSize(1125, 1125, fits.Predicate()), 1125);
  Measure too_wide{1000, {}};
  EXPECT_EQ(FittingSize(1125, 1125, too_wide.Predicate()), std::nullopt);
  EXPECT_EQ(too_wide.asked, std::vector<int>{1125});
}

TEST(FontFit, NothingAndNoQuestionWhenTheStartIsBelowTheSmallest) {
  Measure measure{900, {}};
  EXPECT_EQ(FittingSize(575, 600, measure.Predicate()), std::nullopt);
  EXPECT_TRUE(measure.asked.empty());
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
