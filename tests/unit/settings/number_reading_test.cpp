#include "settings/number_reading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace quorvane::settings {
namespace {

TEST(ReadNumber, ReadsTheLeadingDecimalNumber) {
  struct Case {
    std::string text;
    double want;
  } cases[] = {
      {"3", 3},
      {" 3", 3},
      {"\t\n3", 3},
      {"1 2 . 5", 12.5},
      {"1.25", 1.25},
      {"-1.5", -1.5},
      {"+2", 2},
      {"- 4", -4},
      {"2.5", 2.5},
      {"1,5", 1},
      {"abc", 0},
      {"", 0},
      {"12abc", 12},
      {".5", 0.5},
      {"5.", 5},
      {"1.2.3", 1.2},
      {"--1", 0},
      {"+-1", 0},
      {"1-2", 1},
      {"1e3", 1},
      {"0x10", 0},
      {"\r3", 0},
      {"３", 0},
      {std::string("4\0"
                   "5",
                   3),
       4},
      {"-", 0},
      {".", 0},
      {"007", 7},
      {"-0.25x", -0.25},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(ReadNumber(c.text), c.want) << "text: \"" << c.text << "\"";
  }
}

TEST(ReadNumber, HugeNumbersOverflowToInfinityAndTinyOnesToZero) {
  EXPECT_TRUE(std::isinf(ReadNumber(std::string(400, '9'))));
  EXPECT_LT(ReadNumber("-" + std::string(400, '9')), 0);
  EXPECT_EQ(ReadNumber("0." + std::string(400, '0') + "1"), 0.0);
  // A million digits is read without trouble.
  EXPECT_TRUE(std::isinf(ReadNumber(std::string(1'000'000, '7'))));
}

TEST(RoundToInt16, TakesHalvesToEvenAndReportsOverflow) {
  struct Case {
    double number;
    std::optional<int16_t> want;
  } cases[] = {
      {2.5, 2},
      {3.5, 4},
      {-2.5, -2},
      {0.4999, 0},
      {1.5000001, 2},
      {32767, 32767},
      {32767.4, 32767},
      {32767.5, std::nullopt},
      {-32768, -32768},
      {-32768.5, -32768},
      {-32769, std::nullopt},
      {1e300, std::nullopt},
      {INFINITY, std::nullopt},
      {NAN, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RoundToInt16(c.number), c.want) << c.number;
  }
}

TEST(ReadOptionIndex, CombinesBothSteps) {
  EXPECT_EQ(ReadOptionIndex("3"), 3);
  EXPECT_EQ(ReadOptionIndex(" 3"), 3);
  EXPECT_EQ(ReadOptionIndex("abc"), 0);
  EXPECT_EQ(ReadOptionIndex(""), 0);
  EXPECT_EQ(ReadOptionIndex("2.5"), 2);
  EXPECT_EQ(ReadOptionIndex("6"), 6);
  EXPECT_EQ(ReadOptionIndex("-1"), -1);
  EXPECT_EQ(ReadOptionIndex("40000"), std::nullopt);
}

}  // namespace
}  // namespace quorvane::settings
