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
  for (const char* entry : {"file:///C:/a.rm", "C:\\a.rm", "a.rm", "C://a.rm"}) {
    EXPECT_FALSE(IsNetworkEntry(entry)) << entry;
  }
}

// What a metafile names is someone else's text: another machine (Windows would connect to it
// with the user's credentials) or a device is passed over like rtsp://; its near misses play.
TEST(RamFile, PassesOverEntriesNamingAnotherMachineOrADevice) {
  const char* elsewhere[] = {
      "\\\\hosta\\share\\a.rm",
      "//hostb/share/b.rm",
      "\\/host/share/a.rm",
      "/\\host\\a.rm",
      "\\\\\\host\\share\\a.rm",
      "////host/share/a.rm",
      "\\\\?\\UNC\\hostc\\share\\c.rm",
      "\\\\?\\C:\\clips\\a.rm",
      "\\\\.\\UNC\\hostf\\share\\f.rm",
      "\\\\.\\pipe\\clip",
      "\\\\.\\COM1",
      "\\\\?\\GLOBALROOT\\Device\\Mup\\host\\a.rm",
      "\\\\?\\Volume{01234567-89ab-cdef-0123-456789abcdef}\\a.rm",
      "\\??\\UNC\\host\\share\\a.rm",
      "/?"
      "?/C:/a.rm",
      "file:////hostd/share/d.rm",
      "file://///hoste/share/e.rm",
      "file://host/share/x.rm",
      "FILE://Host/share/x.rm",
      "file://%68ost/share/x.rm",
      "file://localhost//host/share/a.rm",
      "file:///%5C%5Chost/share/a.rm",
      "file://%2F%2Fhost/share/a.rm",
      "file://127.0.0.1/C:/a.rm",
      "file://localhost.evil/a.rm",
      "CON",
      "con.rm",
      "C:\\clips\\CON.rm",
      "clips/nul",
      "Aux.ram",
      "PRN",
      "COM1.rm",
      "com9",
      "LPT1.rm",
      "lpt9.ram",
      "CON .rm",
      "con.tar.rm",
      "C:nul",
      "COM\xC2\xB9.rm",
      "CONOUT$",
      "C:\\CON\\a.rm",
      "file:///C:/clips/CON.rm",
      "file:///C:/clips/CON%00.rm",
      "C:\\clips\\a\x01.rm",
  };
  for (const char* entry : elsewhere) {
    EXPECT_EQ(LocalEntryPath(entry, "D:\\x"), std::nullopt) << entry;
    EXPECT_EQ(LocalEntryPath(entry, ""), std::nullopt) << entry;
  }
  struct Case {
    const char* entry;
    const char* want;
  } local[] = {
      {"C:\\share\\a.rm", "C:\\share\\a.rm"},
      {"\\share\\a.rm", "\\share\\a.rm"},
      {"/hostb/share/b.rm", "/hostb/share/b.rm"},
      {"file:///C:/a.rm", "C:/a.rm"},
      {"file://LOCALHOST/C:/a.rm", "C:/a.rm"},
      {"file://C:/a.rm", "C:/a.rm"},
      {"file:///clips/a.rm", "/clips/a.rm"},
      {"..\\..\\a.rm", "D:\\x\\..\\..\\a.rm"},
      {"icon.rm", "D:\\x\\icon.rm"},
      {"console.rm", "D:\\x\\console.rm"},
      {"CONFIG\\a.rm", "D:\\x\\CONFIG\\a.rm"},
      {"COM10.rm", "D:\\x\\COM10.rm"},
      {"COM0.rm", "D:\\x\\COM0.rm"},
      {"LPT.rm", "D:\\x\\LPT.rm"},
      {"nul_clip.rm", "D:\\x\\nul_clip.rm"},
      {"a\\??\\b.rm", "D:\\x\\a\\??\\b.rm"},
  };
  for (const Case& c : local) {
    EXPECT_EQ(LocalEntryPath(c.entry, "D:\\x"), std::optional<std::string>(c.want)) << c.entry;
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
