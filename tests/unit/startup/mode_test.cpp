#include "startup/mode.h"

#include <gtest/gtest.h>

namespace quorvane::startup {
namespace {

TEST(ArgumentText, SkipsTheProgramPathQuotedOrNotAndOnlyTheOneBlankAfterIt) {
  struct Case {
    const char* command_line;
    const char* arguments;
  } cases[] = {
      {R"("C:\Program Files\Quorvane.scr" /s)", "/s"},
      {R"("C:\Program Files\Quorvane.scr")", ""},
      {R"(C:\Windows\Quorvane.scr /c:1234)", "/c:1234"},
      {R"(C:\Windows\Quorvane.scr   /p 1234)", "  /p 1234"},
      {R"(C:\Windows\Quorvane.scr)", ""},
      {R"("C:\日本語\Quorvane.scr"	/S)", "/S"},
      {R"(C:\a"b c"\Quorvane.scr /a)", "/a"},
      {"", ""},
      // Further blanks and tabs are the arguments' own; a quoted path ends at its quote.
      {R"("C:\Quorvane.scr"  /c)", " /c"},
      {"\"C:\\Quorvane.scr\"\t\t/c", "\t/c"},
      {R"("C:\Quorvane.scr"/c)", "/c"},
      {R"("C:\Quorvane.scr"  )", " "},
      {R"("C:\Quorvane.scr /s)", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ArgumentText(c.command_line), c.arguments) << c.command_line;
  }
}

TEST(ModeKey, IsTheFirstTwoCharactersUpperCased) {
  struct Case {
    const char* arguments;
    const char* key;
  } cases[] = {
      {"/c:1234", "/C"}, {"/p 1234", "/P"}, {"/a", "/A"},  {"/s", "/S"},     {"-s", "-S"},
      {"x", "X"},        {"", ""},          {" /c", " /"}, {"日本", "日本"}, {"/日本", "/日"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ModeKey(c.arguments), c.key) << c.arguments;
  }
}

TEST(ModeForKey, FollowsTheModeTable) {
  struct Case {
    const char* arguments;
    Mode mode;
  } cases[] = {
      {"/a", Mode::kPasswordRefusal},
      {"/A 1234", Mode::kPasswordRefusal},
      {"/c", Mode::kConfigure},
      {"/C:1234", Mode::kConfigure},
      {"", Mode::kConfigure},
      {"/p 1234", Mode::kPreview},
      {"/P", Mode::kPreview},
      {"/s", Mode::kSaver},
      {"/S", Mode::kSaver},
      {"/x", Mode::kSaver},
      {"-s", Mode::kSaver},
      {" /c", Mode::kSaver},
      {"c", Mode::kSaver},
      {"/", Mode::kSaver},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ModeForKey(ModeKey(c.arguments)), c.mode) << '"' << c.arguments << '"';
  }
}

}  // namespace
}  // namespace quorvane::startup
