#include "player/source/ram_file.h"

#include <gtest/gtest.h>

#include <set>

namespace quorvane::player {
namespace {

TEST(RamFile, RecognisesNetworkEntries) {
  for (const char* entry : {"rtsp://host/a.rm", "pnm://host/a.rm", "http://h/a.rm",
                            "HTTPS://h/a.rm", "mms://h", " rtsp://h/x.rm", "ftp://h/a.rm"}) {
    EXPECT_TRUE(IsNetworkEntry(entry)) << entry;
    EXPECT_EQ(LocalEntryPath(entry, "C:\\clips"), std::nullopt) << entry;
  }
  for (const char* entry : {"file:///C:/a.rm", "C:\\a.rm", "a.rm", "C://a.rm", "\\\\server\\a"}) {
    EXPECT_FALSE(IsNetworkEntry(entry)) << entry;
  }
}

TEST(RamFile, ResolvesLocalEntries) {
  struct Case {
    const char* entry;
    const char* folder;
    std::optional<std::string> want;
  } cases[] = {
      {"C:\\clips\\a.rm", "D:\\x", "C:\\clips\\a.rm"},
      {"a.rm", "D:\\x", "D:\\x\\a.rm"},
      {"sub\\a.rm", "D:\\", "D:\\sub\\a.rm"},
      {"a.rm", "/home/u/clips", "/home/u/clips/a.rm"},
      {"/abs/a.rm", "/home/u", "/abs/a.rm"},
      {"file:///C:/My%20Clips/a.rm", "D:\\x", "C:/My Clips/a.rm"},
      {"file://C:/a.rm", "D:\\x", "C:/a.rm"},
      {"file://localhost/C:/a.rm", "D:\\x", "C:/a.rm"},
      {"file:///tmp/a%2", "D:\\x", "/tmp/a%2"},
      {"  a.rm \r", "D:\\x", "D:\\x\\a.rm"},
      {"# a comment", "D:\\x", std::nullopt},
      {"--stop--", "D:\\x", std::nullopt},
      {"", "D:\\x", std::nullopt},
      {"   ", "D:\\x", std::nullopt},
      {"file://", "D:\\x", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LocalEntryPath(c.entry, c.folder), c.want) << c.entry;
  }
}

TEST(RamFile, PlaysTheFirstLocalEntryThatExists) {
  std::set<std::string> files = {"D:\\x\\b.rm", "C:\\c.rm"};
  auto exists = [&](const std::string& p) { return files.count(p) > 0; };
  EXPECT_EQ(FirstPlayableEntry("# list\r\nrtsp://h/a.rm\r\n\r\nmissing.rm\nb.rm\nC:\\c.rm", "D:\\x",
                               Utf8Line, exists),
            "D:\\x\\b.rm");
  EXPECT_EQ(FirstPlayableEntry("http://h/b.rm\nrtsp://h/c.rm", "D:\\x", Utf8Line, exists),
            std::nullopt);
  EXPECT_EQ(FirstPlayableEntry("", "D:\\x", Utf8Line, exists), std::nullopt);
  EXPECT_EQ(FirstPlayableEntry(std::string("\0\0b.rm\0", 7), "D:\\x", Utf8Line, exists),
            std::nullopt);
  // No line end at the very end still counts as a line.
  EXPECT_EQ(FirstPlayableEntry("C:\\c.rm", "D:\\x", Utf8Line, exists), "C:\\c.rm");
}

}  // namespace
}  // namespace quorvane::player
