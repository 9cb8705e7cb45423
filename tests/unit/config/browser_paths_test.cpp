// The file browser's path rules: the clip pattern and the folders of a path.
#include "config/browser_paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvane::config {
namespace {

struct MatchCase {
  std::string name;
  bool matches;
};

TEST(MatchesPattern, TakesBothClipPatternsAndNothingElse) {
  const std::vector<MatchCase> cases = {
      {"a.rm", true},   {"A.RM", true},          {"b.ram", true},       {"B.RaM", true},
      {".rm", true},    {"clip.final.rm", true}, {"クリップ.rm", true}, {"a.rmvb", false},
      {"a.ra", false},  {"a.rm.txt", false},     {"rm", false},         {"a_rm", false},
      {"a.rma", false}, {"a.ramx", false},       {"", false},
  };
  for (const MatchCase& c : cases) {
    EXPECT_EQ(MatchesPattern(c.name, kClipPattern), c.matches) << c.name;
  }
}

TEST(MatchesPattern, QuestionMarkTakesOneWholeCharacter) {
  EXPECT_TRUE(MatchesPattern("aク.rm", "a?.rm"));
  EXPECT_FALSE(MatchesPattern("aクク.rm", "a?.rm"));
  EXPECT_TRUE(MatchesPattern("abc", "*;a?c"));
  EXPECT_FALSE(MatchesPattern("abc", ";;"));
  EXPECT_TRUE(MatchesPattern("abab.rm", "*ab*.rm"));
}

struct FolderCase {
  std::string path;
  std::vector<std::string> folders;
};

TEST(SplitFolders, GivesTheRootThenEveryFolderAndJoinsBack) {
  const std::vector<FolderCase> cases = {
      {"c:\\", {"c:\\"}},
      {"c:", {"c:\\"}},
      {"c:\\a", {"c:\\", "a"}},
      {"C:\\Program Files\\動画\\", {"C:\\", "Program Files", "動画"}},
      {"\\\\srv\\share", {"\\\\srv\\share\\"}},
      {"\\\\srv\\share\\a\\b", {"\\\\srv\\share\\", "a", "b"}},
  };
  for (const FolderCase& c : cases) {
    SCOPED_TRACE(c.path);
    std::vector<std::string> folders = SplitFolders(c.path);
    EXPECT_EQ(folders, c.folders);
    EXPECT_EQ(JoinFolders(folders, 1), c.folders[0]);
  }
  std::vector<std::string> deep = SplitFolders("c:\\a\\b\\c");
  EXPECT_EQ(JoinFolders(deep, 2), "c:\\a");
  EXPECT_EQ(JoinFolders(deep, 4), "c:\\a\\b\\c");
  EXPECT_EQ(JoinFolders(deep, 9), "c:\\a\\b\\c");
}

}  // namespace
}  // namespace quorvane::config
