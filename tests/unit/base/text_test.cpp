#include "base/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvane::base {
namespace {

TEST(Text, FoldsOnlyAsciiLettersWhateverTheLocale) {
  EXPECT_TRUE(StartsWithNoCase("FILE:///c:/a.rm", "file://"));
  EXPECT_TRUE(StartsWithNoCase("rtsp", "RTSP"));
  EXPECT_FALSE(StartsWithNoCase("fil", "file"));
  // A Latin-1 capital in another code page is no letter here: it stays as it is.
  EXPECT_FALSE(StartsWithNoCase("\xC9t\xE9", "\xE9t\xE9"));
  EXPECT_EQ(AsciiUpper('c'), 'C');
  EXPECT_EQ(AsciiUpper('/'), '/');
  EXPECT_EQ(AsciiLower('Z'), 'z');
  EXPECT_EQ(AsciiLower('\xC9'), '\xC9');
}

TEST(Text, JoinsWithOneSeparator) {
  EXPECT_EQ(JoinPath("c:\\clips", "a.rm", '\\'), "c:\\clips\\a.rm");
  EXPECT_EQ(JoinPath("c:\\", "a.rm", '\\'), "c:\\a.rm");
  EXPECT_EQ(JoinPath("/home/u", "a.rm", '/'), "/home/u/a.rm");
  EXPECT_EQ(JoinPath("", "a.rm", '\\'), "\\a.rm");
  EXPECT_EQ(JoinPath("c:\\clips", "", '\\'), "c:\\clips\\");
}

}  // namespace
}  // namespace quorvane::base

namespace quorvane::base {
namespace {

std::vector<std::string> Lines(std::string_view text, size_t most = 100) {
  std::vector<std::string> lines;
  ForEachLine(text, [&](std::string_view line) {
    lines.emplace_back(line);
    return lines.size() < most;
  });
  return lines;
}

// The settings file and metafiles both split their text this way.
TEST(Text, SplitsLinesAtCrLfLoneCrAndLoneLfAndStopsWhenAsked) {
  using Want = std::vector<std::string>;
  EXPECT_EQ(Lines("a\r\nb\nc\rd"), (Want{"a", "b", "c", "d"}));
  EXPECT_EQ(Lines("a\r\n\r\nb\r\n"), (Want{"a", "", "b"}));
  EXPECT_EQ(Lines("\n\r\r\n"), (Want{"", "", ""}));  // LF, CR, CR LF
  EXPECT_EQ(Lines(""), Want{});
  EXPECT_EQ(Lines("no end"), (Want{"no end"}));
  EXPECT_EQ(Lines(std::string("a\0b\nc", 5)), (Want{std::string("a\0b", 3), "c"}));
  EXPECT_EQ(Lines("a\nb\nc", 2), (Want{"a", "b"}));
  EXPECT_FALSE(ForEachLine("a\nb", [](std::string_view) { return false; }));
  EXPECT_TRUE(ForEachLine("a\nb", [](std::string_view) { return true; }));
}

}  // namespace
}  // namespace quorvane::base
