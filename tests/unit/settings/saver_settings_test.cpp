#include "settings/saver_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvane::settings {
namespace {

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

TEST(ReadSaverSettings, SizeAndPositionLineByLine) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    double factor;
    bool full_screen;
    bool random_position;
  } cases[] = {
      {"nothing given", {}, 1, false, false},
      {"x0.5", {"SizeSel  =0"}, 0.5, false, false},
      {"a later choice wins", {"SizeSel  =3", "SizeSel  =2"}, 1.5, false, false},
      {"free waits for its factor", {"SizeSel  =4"}, 0, false, false},
      {"free given", {"SizeSel  =4", "SizeFree =1.25"}, 1.25, false, false},
      {"free before its choice is passed over", {"SizeFree =3", "SizeSel  =4"}, 0, false, false},
      {"a second free factor is passed over",
       {"SizeSel  =4", "SizeFree =2", "SizeFree =3"},
       2,
       false,
       false},
      {"full screen keeps the factor and stays",
       {"SizeSel  =3", "SizeSel  =5", "SizeSel  =1"},
       1,
       true,
       false},
      {"random", {"PosSel   =1"}, 1, false, true},
      {"the last position wins", {"PosSel   =7", "PosSel   =0"}, 1, false, false},
      {"a multibyte value is not a digit", {"PosSel   =１"}, 1, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SaverSettings read = ReadSaverSettings(Lines(c.lines));
    EXPECT_DOUBLE_EQ(read.size.factor, c.factor);
    EXPECT_EQ(read.size.full_screen, c.full_screen);
    EXPECT_EQ(read.random_position, c.random_position);
  }
}

TEST(ReadSaverSettings, KeepsTheFirstHundredEntriesWholeAndInOrder) {
  std::vector<std::string> lines{"PlayList = spaced name .rm ", "ListDir  =C:\\"};
  for (int i = 1; i < 130; ++i) lines.push_back("PlayList =" + std::to_string(i) + ".rm");
  SaverSettings read = ReadSaverSettings(Lines(lines));
  ASSERT_EQ(read.play_list.size(), 100u);
  EXPECT_EQ(read.play_list.front(), " spaced name .rm ");
  EXPECT_EQ(read.play_list.back(), "99.rm");
}

TEST(IsRandomPosition, OnlyADigitOtherThanZero) {
  EXPECT_FALSE(IsRandomPosition(std::nullopt));
  EXPECT_FALSE(IsRandomPosition(std::string("0")));
  EXPECT_FALSE(IsRandomPosition(std::string("")));
  EXPECT_FALSE(IsRandomPosition(std::string("a")));
  EXPECT_TRUE(IsRandomPosition(std::string("1")));
  EXPECT_TRUE(IsRandomPosition(std::string("9")));
}

}  // namespace
}  // namespace quorvane::settings
