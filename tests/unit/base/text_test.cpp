#include "base/text.h"

#include <gtest/gtest.h>

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
