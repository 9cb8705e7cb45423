// The playlist editor and the previews: Add with its limit, Delete, Up, Down, the double
// clicks, and the browser's chaining from drive to folder to files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config_doubles.h"

namespace quorvane::config {
namespace {

using Entries = std::vector<std::string>;

Entries Numbered(int count) {
  Entries entries;
  for (int i = 0; i < count; ++i) entries.push_back("c:\\clips\\" + std::to_string(i) + ".rm");
  return entries;
}

struct AddCase {
  std::string folder, file_name, entry;
};

TEST(CmdAdd, JoinsTheFolderAndTheFileWithExactlyOneBackslash) {
  const std::vector<AddCase> cases = {
      {"c:\\", "a.rm", "c:\\a.rm"},
      {"c:\\clips", "a.rm", "c:\\clips\\a.rm"},
      {"c:\\clips\\", "b.ram", "c:\\clips\\b.ram"},
      {"c:\\clips", "", "c:\\clips\\"},
      {"c:\\", "", "c:\\"},
      {"\\\\srv\\share\\動画", "クリップ.rm", "\\\\srv\\share\\動画\\クリップ.rm"},
  };
  for (const AddCase& c : cases) {
    SCOPED_TRACE(c.folder + " + " + c.file_name);
    TestDialog d;
    d.filSel.path = c.folder;
    d.filSel.file_name = c.file_name;
    d.form.filSel_DblClick();
    d.form.cmdAdd_Click();
    EXPECT_EQ(d.lstPlay.items, Entries{c.entry});
    EXPECT_EQ(d.reaAudioPre.sources, Entries{c.entry}) << "the preview joins the same way";
  }
}

TEST(CmdAdd, AppendsDuplicatesAndKeepsTheSelection) {
  TestDialog d;
  d.lstPlay.items = {"c:\\x.rm", "c:\\y.rm"};
  d.lstPlay.index = 0;
  d.filSel.path = "c:\\clips";
  d.filSel.file_name = "a.rm";
  d.form.cmdAdd_Click();
  d.form.cmdAdd_Click();
  EXPECT_EQ(d.lstPlay.items,
            (Entries{"c:\\x.rm", "c:\\y.rm", "c:\\clips\\a.rm", "c:\\clips\\a.rm"}));
  EXPECT_EQ(d.lstPlay.index, 0);
  EXPECT_TRUE(d.host.messages.empty());
}

TEST(CmdAdd, AppendsTheHundredthAndRefusesTheHundredAndFirst) {
  for (int before : {98, 99, 100, 101, 130}) {
    SCOPED_TRACE(before);
    TestDialog d;
    d.lstPlay.items = Numbered(before);
    d.lstPlay.index = 3;
    d.filSel.path = "c:\\new";
    d.filSel.file_name = "z.rm";
    d.form.cmdAdd_Click();
    if (before < 100) {
      EXPECT_EQ(d.lstPlay.ListCount(), before + 1);
      EXPECT_EQ(d.lstPlay.items.back(), "c:\\new\\z.rm");
      EXPECT_TRUE(d.host.messages.empty());
    } else {
      EXPECT_EQ(d.lstPlay.items, Numbered(before));
      EXPECT_EQ(
          d.host.messages,
          Entries{"大変申し訳ございませんが、現在１００ファイル以上の選択は、対応していません"});
    }
    EXPECT_EQ(d.lstPlay.index, 3);
    EXPECT_FALSE(d.Ended());
  }
}

TEST(CmdAdd, RefusesAfterALoadedFileFilledTheList) {
  TestDialog d;
  std::string file;
  for (const std::string& entry : Numbered(100)) file += "PlayList =" + entry + "\r\n";
  d.store.file = file;
  d.form.Form_Load();
  d.form.cmdAdd_Click();
  EXPECT_EQ(d.lstPlay.ListCount(), 100);
  EXPECT_EQ(d.host.messages.size(), 1u);
}

struct EditCase {
  const char* name;
  int count;
  int selected;
  void (FrmConfig::*handler)();
  Entries after;
  int selected_after;
  int refreshes;
};

TEST(PlaylistButtons, DeleteAndMovesFollowTheirRules) {
  const Entries abcd = {"a", "b", "c", "d"};
  const std::vector<EditCase> cases = {
      {"delete none", 4, -1, &FrmConfig::cmdDel_Click, abcd, -1, 0},
      {"delete first", 4, 0, &FrmConfig::cmdDel_Click, {"b", "c", "d"}, -1, 0},
      {"delete inner", 4, 2, &FrmConfig::cmdDel_Click, {"a", "b", "d"}, -1, 0},
      {"delete last", 4, 3, &FrmConfig::cmdDel_Click, {"a", "b", "c"}, -1, 0},
      {"up none", 4, -1, &FrmConfig::cmdUp_Click, abcd, -1, 0},
      {"up first", 4, 0, &FrmConfig::cmdUp_Click, abcd, 0, 0},
      {"up inner", 4, 2, &FrmConfig::cmdUp_Click, {"a", "c", "b", "d"}, 1, 1},
      {"up last", 4, 3, &FrmConfig::cmdUp_Click, {"a", "b", "d", "c"}, 2, 1},
      {"down none", 4, -1, &FrmConfig::cmdDown_Click, abcd, -1, 0},
      {"down first", 4, 0, &FrmConfig::cmdDown_Click, {"b", "a", "c", "d"}, 1, 1},
      {"down inner", 4, 2, &FrmConfig::cmdDown_Click, {"a", "b", "d", "c"}, 3, 1},
      {"down last", 4, 3, &FrmConfig::cmdDown_Click, abcd, 3, 0},
      {"up single", 1, 0, &FrmConfig::cmdUp_Click, {"a"}, 0, 0},
      {"down single", 1, 0, &FrmConfig::cmdDown_Click, {"a"}, 0, 0},
      {"delete single", 1, 0, &FrmConfig::cmdDel_Click, {}, -1, 0},
      {"up empty", 0, -1, &FrmConfig::cmdUp_Click, {}, -1, 0},
      {"down empty", 0, -1, &FrmConfig::cmdDown_Click, {}, -1, 0},
      {"delete empty", 0, -1, &FrmConfig::cmdDel_Click, {}, -1, 0},
  };
  for (const EditCase& c : cases) {
    SCOPED_TRACE(c.name);
    TestDialog d;
    d.lstPlay.items.assign(abcd.begin(), abcd.begin() + c.count);
    d.lstPlay.index = c.selected;
    (d.form.*c.handler)();
    EXPECT_EQ(d.lstPlay.items, c.after);
    EXPECT_EQ(d.lstPlay.index, c.selected_after);
    EXPECT_EQ(d.lstPlay.refreshes, c.refreshes);
  }
}

TEST(PlaylistButtons, RepeatedMovesCarryTheEntryFurther) {
  TestDialog d;
  d.lstPlay.items = {"a", "b", "c", "d", "e"};
  d.lstPlay.index = 3;
  d.form.cmdUp_Click();
  EXPECT_EQ(d.lstPlay.items, (Entries{"a", "b", "d", "c", "e"}));
  EXPECT_EQ(d.lstPlay.index, 2);
  d.form.cmdUp_Click();
  d.form.cmdUp_Click();
  d.form.cmdUp_Click();
  EXPECT_EQ(d.lstPlay.items, (Entries{"d", "a", "b", "c", "e"}));
  EXPECT_EQ(d.lstPlay.index, 0);
  for (int i = 0; i < 6; ++i) d.form.cmdDown_Click();
  EXPECT_EQ(d.lstPlay.items, (Entries{"a", "b", "c", "e", "d"}));
  EXPECT_EQ(d.lstPlay.index, 4);
}

TEST(Preview, DoubleClicksSetTheSourceWithoutTouchingThePlaylist) {
  TestDialog d;
  d.lstPlay.items = {"c:\\a.rm", "  odd text \\ "};
  d.filSel.path = "c:\\clips";
  d.filSel.file_name = "b.rm";
  d.form.lstPlay_DblClick();
  EXPECT_TRUE(d.reaAudioPre.sources.empty()) << "nothing selected: no preview";
  d.form.filSel_DblClick();
  d.lstPlay.index = 1;
  d.form.lstPlay_DblClick();
  d.form.filSel_DblClick();
  EXPECT_EQ(d.reaAudioPre.sources,
            (Entries{"c:\\clips\\b.rm", "  odd text \\ ", "c:\\clips\\b.rm"}));
  EXPECT_EQ(d.lstPlay.items, (Entries{"c:\\a.rm", "  odd text \\ "}));
  EXPECT_EQ(d.lstPlay.index, 1);
}

TEST(Browser, ADriveMovesTheFoldersAndTheFoldersMoveTheFiles) {
  TestDialog d;
  d.form.Form_Load();
  d.drvSel.drive = "d:";
  d.form.drvSel_Change();
  EXPECT_EQ(d.dirSel.path, "d:\\");
  EXPECT_EQ(d.filSel.path, "d:\\");
  d.dirSel.path = "d:\\clips";
  d.form.dirSel_Change();
  EXPECT_EQ(d.filSel.path, "d:\\clips");
  EXPECT_TRUE(d.host.messages.empty());
}

TEST(Browser, ADriveNotReadySaysSoAndPutsTheDriveListBack) {
  TestDialog d;
  d.form.Form_Load();
  d.drvSel.drive = "d:";
  d.form.drvSel_Change();
  d.dirSel.path = "d:\\clips";
  d.form.dirSel_Change();

  d.drvSel.drive = "e:";
  d.form.drvSel_Change();
  EXPECT_EQ(d.host.messages,
            Entries{"大変申し訳ございませんが、ドライブ e: の準備ができていません"});
  EXPECT_NE(d.host.messages[0].find("e:"), std::string::npos);
  EXPECT_EQ(d.drvSel.drive, "d:");
  EXPECT_EQ(d.dirSel.path, "d:\\clips");
  EXPECT_EQ(d.filSel.path, "d:\\clips");
  EXPECT_FALSE(d.Ended());

  d.drvSel.drive = "c:";
  d.form.drvSel_Change();
  EXPECT_EQ(d.dirSel.path, "c:\\work");
  EXPECT_EQ(d.host.messages.size(), 1u);
}

}  // namespace
}  // namespace quorvane::config
