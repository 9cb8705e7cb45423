#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace quorvane::settings {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs EntriesOf(std::string_view text) {
  Pairs got;
  ForEachEntry(text, [&](const Entry& e) { got.emplace_back(e.key, e.value); });
  return got;
}

TEST(ForEachEntry, SplitsLinesIntoKeyFieldAndWholeValue) {
  std::string long_path = "C:\\" + std::string(200, 'x') + "\\clip.rm";
  std::string text = "PlayList =" + long_path + "\r\nSizeSel  =3\r\nPosSel   =\r\n";
  EXPECT_EQ(EntriesOf(text),
            (Pairs{{"PlayList =", long_path}, {"SizeSel  =", "3"}, {"PosSel   =", ""}}));
}

TEST(ForEachEntry, EndsLinesAtCrLfLoneLfLoneCrAndTheEnd) {
  EXPECT_EQ(
      EntriesOf("SizeSel  =1\nPosSel   =1\rJyunSel  =1\r\n\r\nPlayList =a"),
      (Pairs{{"SizeSel  =", "1"}, {"PosSel   =", "1"}, {"JyunSel  =", "1"}, {"PlayList =", "a"}}));
}

TEST(ForEachEntry, SkipsShortLinesAndKeepsOrderAndRepeats) {
  EXPECT_EQ(EntriesOf("short\r\n123456789\r\nPlayList =b\r\nPlayList =b\r\n  \r\nSizeFree =1"),
            (Pairs{{"PlayList =", "b"}, {"PlayList =", "b"}, {"SizeFree =", "1"}}));
}

TEST(ForEachEntry, HandsOverKeyFieldsAsTheyStandForExactComparison) {
  // Letter case and blanks are part of the key field; the readers compare it exactly.
  Pairs got = EntriesOf("sizesel  =1\r\nSizeSel =1\r\nSizeSel   =1\r\n");
  ASSERT_EQ(got.size(), 3u);
  for (const auto& [key, value] : got) EXPECT_NE(key, kSizeSel) << key;
}

TEST(ForEachEntry, SurvivesBinaryTextWithoutLineEnds) {
  std::mt19937 random(7);
  std::string noise(1 << 20, '\0');
  for (char& c : noise) c = static_cast<char>(random() & 0xFF);
  size_t visited = 0;
  size_t bytes = 0;
  ForEachEntry(noise, [&](const Entry& e) {
    ++visited;
    bytes += e.key.size() + e.value.size();
    EXPECT_EQ(e.key.size(), kKeyFieldLength);
  });
  EXPECT_GT(visited, 0u);
  EXPECT_LE(bytes, noise.size());

  std::string one_line = "PlayList =" + std::string(3 << 20, 'y');
  one_line[20] = '\0';
  Pairs got = EntriesOf(one_line);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].second.size(), one_line.size() - kKeyFieldLength);
}

TEST(FormatSettings, WritesTheFixedOrderWithCrLf) {
  SettingsRecord record;
  record.list_dir = "c:";
  record.list_path = "C:\\クリップ";
  record.size_sel = 4;
  record.size_free = "1.25";
  record.pos_sel = 1;
  record.jyun_sel = 0;
  record.play_list = {"C:\\クリップ\\a.rm", "C:\\b.ram"};
  EXPECT_EQ(FormatSettings(record),
            "ListDir  =c:\r\n"
            "ListPath =C:\\クリップ\r\n"
            "SizeSel  =4\r\n"
            "SizeFree =1.25\r\n"
            "PosSel   =1\r\n"
            "JyunSel  =0\r\n"
            "PlayList =C:\\クリップ\\a.rm\r\n"
            "PlayList =C:\\b.ram\r\n");
}

TEST(FormatSettings, EmptyPlaylistAndFreeFactorWriteBareKeyFields) {
  SettingsRecord record;
  record.list_dir = "c:";
  record.list_path = "c:\\";
  EXPECT_EQ(FormatSettings(record),
            "ListDir  =c:\r\nListPath =c:\\\r\nSizeSel  =1\r\nSizeFree =\r\nPosSel   =0\r\n"
            "JyunSel  =0\r\n");
}

TEST(FormatSettings, ReadsBackWhatItWrote) {
  SettingsRecord record;
  record.list_dir = "d:";
  record.list_path = "d:\\" + std::string(75, 'p');
  record.size_free = "abc";
  for (int i = 0; i < 120; ++i) record.play_list.push_back("d:\\" + std::to_string(i) + ".rm");
  Pairs got = EntriesOf(FormatSettings(record));
  ASSERT_EQ(got.size(), 6u + 120u);
  EXPECT_EQ(got[1], (std::pair<std::string, std::string>{"ListPath =", record.list_path}));
  EXPECT_EQ(got[3].second, "abc");
  EXPECT_EQ(got[125], (std::pair<std::string, std::string>{"PlayList =", "d:\\119.rm"}));
}

}  // namespace
}  // namespace quorvane::settings
