// Loading the settings file into the dialog's controls and writing it back on OK; Cancel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config_doubles.h"

namespace quorvane::config {
namespace {

// The file OK writes from a dialog opened without a settings file and left untouched.
constexpr char kDefaultFile[] =
    "ListDir  =c:\r\nListPath =c:\\work\r\nSizeSel  =1\r\nSizeFree =\r\nPosSel   =0\r\n"
    "JyunSel  =0\r\n";

std::string Written(TestDialog& d) {
  d.form.cmdOk_Click();
  return d.store.file.value_or("<nothing written>");
}

TEST(FormLoad, WithoutAFileKeepsTheDesignTimeStateAndOkWritesTheDefaultFile) {
  TestDialog d;
  d.form.Form_Load();
  EXPECT_EQ(d.optSizeSel.selected, 1);
  EXPECT_EQ(d.optPosSel.selected, 0);
  EXPECT_EQ(d.optJyunSel.selected, 0);
  EXPECT_EQ(d.txtSizeFree.text, "");
  EXPECT_TRUE(d.lstPlay.items.empty());
  EXPECT_EQ(d.drvSel.drive, "c:");
  EXPECT_EQ(d.dirSel.path, "c:\\work");
  EXPECT_EQ(Written(d), kDefaultFile);
  EXPECT_TRUE(d.Ended());
  EXPECT_TRUE(d.host.messages.empty());
}

TEST(FormLoad, ShowsTheDialogBeforeReadingTheFile) {
  TestDialog d;
  d.store.file = "SizeSel  =3\r\n";
  d.form.Form_Load();
  EXPECT_EQ(d.log, (EventLog{"show", "load"}));
  EXPECT_EQ(d.optSizeSel.selected, 3);
}

struct OptionCase {
  std::string line;
  int size_sel, pos_sel, jyun_sel;
};

TEST(FormLoad, ReadsOptionIndexesByTheNumberRuleAndKeepsTheChoiceForNonOptions) {
  // 20 and more are out of every array: an array has at most kOptionArrayRoom buttons.
  const std::vector<OptionCase> cases = {
      {"SizeSel  =3", 3, 0, 0},     {"SizeSel  = 3", 3, 0, 0},     {"SizeSel  =abc", 0, 0, 0},
      {"SizeSel  =", 0, 0, 0},      {"SizeSel  =2.5", 2, 0, 0},    {"SizeSel  =3.5", 4, 0, 0},
      {"SizeSel  =5", 5, 0, 0},     {"SizeSel  =4x", 4, 0, 0},     {"SizeSel  =20", 1, 0, 0},
      {"SizeSel  =-1", 1, 0, 0},    {"SizeSel  =-0.4", 0, 0, 0},   {"SizeSel  =19.6", 1, 0, 0},
      {"SizeSel  =70000", 1, 0, 0}, {"SizeSel  =-32769", 1, 0, 0}, {"SizeSel  =65539", 1, 0, 0},
      {"PosSel   =1", 1, 1, 0},     {"PosSel   =20", 1, 0, 0},     {"PosSel   =19.5", 1, 0, 0},
      {"JyunSel  =1", 1, 0, 1},     {"JyunSel  =-1", 1, 0, 0},     {"sizesel  =3", 1, 0, 0},
      {"SizeSel =3", 1, 0, 0},      {"SizeSel   =3", 1, 0, 0},     {"SizeSel", 1, 0, 0},
  };
  for (const OptionCase& c : cases) {
    SCOPED_TRACE(c.line);
    TestDialog d;
    d.store.file = c.line + "\r\n";
    d.form.Form_Load();
    EXPECT_EQ(d.optSizeSel.selected, c.size_sel);
    EXPECT_EQ(d.optPosSel.selected, c.pos_sel);
    EXPECT_EQ(d.optJyunSel.selected, c.jyun_sel);
    EXPECT_TRUE(d.host.messages.empty());
  }
}

// An array's last button is an index of it, one past it is none.
TEST(FormLoad, SelectsAnArraysLastButtonAndNothingPastIt) {
  const int count = TestDialog().optSizeSel.Count();
  for (int index : {count - 1, count}) {
    SCOPED_TRACE(index);
    TestDialog d;
    d.store.file = "SizeSel  =" + std::to_string(index) + "\r\n";
    d.form.Form_Load();
    EXPECT_EQ(d.optSizeSel.selected, index < count ? index : 1);
  }
}

TEST(FormLoad, ACraftedFileFillsEveryControlAndTheBrowserFollowsTheDrive) {
  TestDialog d;
  d.store.file =
      "PlayList =d:\\clips\\b.rm\r\nListDir  =d:\r\nSizeFree =1.25\r\nSizeSel  =4\r\n"
      "PosSel   =1\r\nJyunSel  =1\r\nPlayList =c:\\a.ram\r\n";
  d.form.Form_Load();
  EXPECT_EQ(d.drvSel.drive, "d:");
  EXPECT_EQ(d.dirSel.path, "d:\\");
  EXPECT_EQ(d.filSel.path, "d:\\");
  EXPECT_EQ(d.optSizeSel.selected, 4);
  EXPECT_EQ(d.txtSizeFree.text, "1.25");
  EXPECT_EQ(d.optPosSel.selected, 1);
  EXPECT_EQ(d.optJyunSel.selected, 1);
  EXPECT_EQ(d.lstPlay.items, (std::vector<std::string>{"d:\\clips\\b.rm", "c:\\a.ram"}));
}

// A later option value outside the buttons leaves the choice the array holds by then: x2.0 here.
TEST(FormLoad, LaterLinesOfAKeyDecideAndEveryPlayListLineAdds) {
  TestDialog d;
  d.store.file =
      "ListPath =c:\\clips\r\nListPath =d:\\clips\r\nSizeFree =2\r\nSizeFree =x\r\n"
      "SizeSel  =3\r\nSizeSel  =20\r\nPlayList =c:\\a.rm\r\nPlayList =c:\\a.rm\r\n";
  d.form.Form_Load();
  EXPECT_EQ(d.optSizeSel.selected, 3);
  EXPECT_EQ(d.dirSel.path, "d:\\clips");
  EXPECT_EQ(d.filSel.path, "d:\\clips");
  EXPECT_EQ(d.txtSizeFree.text, "x");
  EXPECT_EQ(d.lstPlay.items, (std::vector<std::string>{"c:\\a.rm", "c:\\a.rm"}));
}

TEST(FormLoad, AMissingDriveOrFolderOrADriveNotReadyKeepsTheBrowserWhereItWas) {
  for (const char* line : {"ListDir  =q:", "ListPath =c:\\gone",
                           "ListDir  =e:", "ListPath =e:\\clips", "ListDir  =", "ListPath ="}) {
    SCOPED_TRACE(line);
    TestDialog d;
    d.store.file = std::string(line) + "\r\nSizeSel  =2\r\n";
    d.form.Form_Load();
    EXPECT_EQ(d.drvSel.drive, "c:");
    EXPECT_EQ(d.dirSel.path, "c:\\work");
    EXPECT_EQ(d.filSel.path, "c:\\work");
    EXPECT_EQ(d.optSizeSel.selected, 2) << "the lines after it were not read";
    EXPECT_TRUE(d.host.messages.empty());
  }
}

TEST(CmdOk, WritesBackAWrittenFileByteForByte) {
  const std::string long_path = "d:\\clips\\" + std::string(180, 'x') + "\\クリップ.rm";
  const std::vector<std::string> files = {
      "ListDir  =d:\r\nListPath =d:\\clips\r\nSizeSel  =4\r\nSizeFree =1.25\r\nPosSel   =1\r\n"
      "JyunSel  =1\r\nPlayList =c:\\a.rm\r\nPlayList =" +
          long_path + "\r\n",
      "ListDir  =c:\r\nListPath =c:\\work\r\nSizeSel  =0\r\nSizeFree =abc\r\nPosSel   =0\r\n"
      "JyunSel  =0\r\n",
      "ListDir  =c:\r\nListPath =c:\\\r\nSizeSel  =5\r\nSizeFree =\r\nPosSel   =1\r\n"
      "JyunSel  =0\r\nPlayList =c:\\a.rm\r\nPlayList =c:\\a.rm\r\n",
  };
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    TestDialog d;
    d.store.file = file;
    d.form.Form_Load();
    EXPECT_EQ(Written(d), file);
  }
}

TEST(CmdOk, WritesTheFixedOrderWhateverTheFileOrderWas) {
  TestDialog d;
  d.store.file = "PlayList =c:\\b.rm\r\nJunk     =1\r\nSizeFree =0.5\r\nSizeSel  = 4\r\n";
  d.form.Form_Load();
  EXPECT_EQ(Written(d),
            "ListDir  =c:\r\nListPath =c:\\work\r\nSizeSel  =4\r\nSizeFree =0.5\r\n"
            "PosSel   =0\r\nJyunSel  =0\r\nPlayList =c:\\b.rm\r\n");
}

TEST(CmdOk, KeepsAndWritesBackMoreThanTheAddingLimit) {
  TestDialog d;
  std::string file = kDefaultFile;
  for (int i = 0; i < 130; ++i) file += "PlayList =c:\\clips\\" + std::to_string(i) + ".rm\r\n";
  d.store.file = file;
  d.form.Form_Load();
  EXPECT_EQ(d.lstPlay.ListCount(), 130);
  EXPECT_EQ(d.lstPlay.items[129], "c:\\clips\\129.rm");
  EXPECT_EQ(Written(d), file);
}

TEST(CmdOk, ThatCannotWriteNamesTheFileAndTheReasonAndKeepsTheDialogOpen) {
  TestDialog d;
  d.store.file = "SizeSel  =3\r\n";
  d.form.Form_Load();
  d.optSizeSel.selected = 5;
  d.store.failure = "アクセスが拒否されました。";
  d.form.cmdOk_Click();
  EXPECT_FALSE(d.Ended());
  EXPECT_EQ(*d.store.file, "SizeSel  =3\r\n");
  ASSERT_EQ(d.host.messages.size(), 1u);
  EXPECT_EQ(d.host.messages[0],
            "大変申し訳ございませんが、設定を保存できませんでした\n\n"
            "C:\\Program Files\\Quorvane\\Quorvane.ini\n"
            "アクセスが拒否されました。");

  // Nothing was lost: once the file can be written, OK writes the choice and ends.
  d.store.failure.clear();
  d.form.cmdOk_Click();
  EXPECT_TRUE(d.Ended());
  EXPECT_NE(d.store.file->find("SizeSel  =5\r\n"), std::string::npos);
}

TEST(CmdCancel, AndTheFrameCloseEndWithoutWriting) {
  for (bool by_frame : {false, true}) {
    TestDialog d;
    d.store.file = "SizeSel  =3\r\n";
    d.form.Form_Load();
    d.optSizeSel.selected = 0;
    d.lstPlay.AddItem("c:\\x.rm");
    if (by_frame) {
      d.form.Form_Unload();
    } else {
      d.form.cmdCancel_Click();
    }
    EXPECT_EQ(d.log, (EventLog{"show", "load", "end"}));
    EXPECT_EQ(*d.store.file, "SizeSel  =3\r\n");
  }
}

}  // namespace
}  // namespace quorvane::config
