#include "base/utf8.h"

#include <gtest/gtest.h>

namespace quorvane::base {
namespace {

TEST(Utf8, TellsWellFormedTextFromBytesThatAreNot) {
  struct Case {
    const char* text;
    bool valid;
  } cases[] = {
      {"", true},
      {"C:\\clips\\a.rm", true},
      {"C:\\\xE8\xA1\xA8\\\xE3\x82\xBD.rm", true},  // 表 and ソ
      {"\xF0\xA0\xAE\xB7", true},                   // 𠮷, four bytes
      {"\xEF\xBF\xBD", true},                       // the replacement character itself
      {"\x95\x5C.rm", false},                       // 表 in Shift-JIS
      {"\x80", false},                              // a stray continuation byte
      {"\xC0\xAF", false},                          // an overlong "/"
      {"\xE0\x80\xAF", false},                      // overlong in three bytes
      {"\xED\xA0\x80", false},                      // a surrogate
      {"\xF4\x90\x80\x80", false},                  // beyond U+10FFFF
      {"\xE3\x82", false},                          // cut short at the end
      {"\xE3\x41\x41", false},                      // a continuation byte missing
      {"\xFF", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsValidUtf8(c.text), c.valid) << testing::PrintToString(std::string(c.text));
  }
}

TEST(Utf8, FirstCharacterIsAWholeSequenceNeverCutPastTheEnd) {
  EXPECT_EQ(FirstCharacter(""), "");
  EXPECT_EQ(FirstCharacter("15"), "1");
  EXPECT_EQ(FirstCharacter("\xEF\xBC\x91x"), "\xEF\xBC\x91");  // a full-width 1
  EXPECT_EQ(FirstCharacter("\xF0\xA0\xAE"), "\xF0\xA0\xAE");   // cut short: what there is
  EXPECT_EQ(Utf8SequenceLength(0x41), 1u);
  EXPECT_EQ(Utf8SequenceLength(0xBF), 1u);
  EXPECT_EQ(Utf8SequenceLength(0xC3), 2u);
  EXPECT_EQ(Utf8SequenceLength(0xE3), 3u);
  EXPECT_EQ(Utf8SequenceLength(0xF0), 4u);
}

}  // namespace
}  // namespace quorvane::base
