// Loading, editing and saving through the real settings dialog: a crafted file in the
// controls, browsing and playlist editing, the exact bytes OK writes, Cancel and close leaving
// the file alone, the add limit, a failed save and the previews.
#include <gtest/gtest.h>

#include "config/control_ids.h"
#include "support/dialog_driver.h"

namespace quorvane::e2e {
namespace {

using namespace quorvane::config;
TEST(DialogSettings, ACraftedFileShowsInTheControls) {
  ProgramFolder folder;
  CreateDirectoryW(folder.Join(L"動画").c_str(), nullptr);
  WriteFileBytes(folder.Join(L"動画\\one.rm"), "x");
  std::wstring long_entry = L"c:\\" + std::wstring(120, L'x') + L"\\クリップ.rm";
  folder.WriteSettings("ListDir  =c:\r\n" + Line("ListPath =", folder.Join(L"動画")) +
                       "SizeSel  =4\r\nSizeFree =1.25\r\nPosSel   =1\r\nJyunSel  =1\r\n" +
                       Line("PlayList =", L"c:\\a.rm") + Line("PlayList =", long_entry) +
                       Line("PlayList =", L"c:\\a.rm"));
  DialogDriver dialog(folder);
  ASSERT_TRUE(dialog.Opened());
  EXPECT_TRUE(dialog.Checked(kIdOptSizeSel0 + 4));
  EXPECT_FALSE(dialog.Checked(kIdOptSizeSel0 + 1));
  EXPECT_EQ(TextOf(dialog.Item(kIdTxtSizeFree)), L"1.25");
  EXPECT_TRUE(dialog.Checked(kIdOptPosSel0 + 1));
  EXPECT_TRUE(dialog.Checked(kIdOptJyunSel0 + 1));
  EXPECT_FALSE(dialog.Checked(kIdOptJyunSel0));
  EXPECT_EQ(dialog.ListTexts(kIdLstPlay), (Texts{L"c:\\a.rm", long_entry, L"c:\\a.rm"}));
  Texts folders = dialog.ListTexts(kIdDirSel);
  ASSERT_GE(dialog.ListIndex(kIdDirSel), 0);
  EXPECT_EQ(folders[static_cast<size_t>(dialog.ListIndex(kIdDirSel))], L"動画");
  EXPECT_EQ(dialog.ListTexts(kIdFilSel), Texts{L"one.rm"});
}

TEST(DialogSettings, OkWithoutAFileWritesTheDefaultFile) {
  ProgramFolder folder;
  CreateDirectoryW(folder.Join(L"start").c_str(), nullptr);
  DialogDriver dialog(folder, folder.Join(L"start"));
  ASSERT_TRUE(dialog.Opened());
  dialog.Click(kIdCmdOk);
  ASSERT_TRUE(dialog.Program().WaitForExit(10000));
  EXPECT_EQ(folder.ReadSettings().value_or("<none>"),
            "ListDir  =c:\r\n" + Line("ListPath =", folder.Join(L"start")) + kOptionLinesDefault);
}

TEST(DialogSettings, BrowseAddMoveDeleteAndOkWritesExactlyTheList) {
  ProgramFolder folder;
  CreateDirectoryW(folder.Join(L"clips").c_str(), nullptr);
  for (const wchar_t* name : {L"a.rm", L"b.ram", L"c.rm"}) {
    WriteFileBytes(folder.Join(std::wstring(L"clips\\") + name), "x");
  }
  folder.WriteSettings(Line("ListPath =", folder.Path()) + "SizeSel  =0\r\n");
  DialogDriver dialog(folder);
  ASSERT_TRUE(dialog.Opened());

  // Into the generated folder by a double click, out of it by Enter, into it again.
  int clips = FindText(dialog.ListTexts(kIdDirSel), L"clips");
  ASSERT_GE(clips, 0);
  dialog.DoubleClick(kIdDirSel, clips);
  EXPECT_EQ(dialog.ListTexts(kIdFilSel), (Texts{L"a.rm", L"b.ram", L"c.rm"}));
  ASSERT_TRUE(dialog.TabTo(kIdDirSel));
  dialog.Select(kIdDirSel, dialog.ListIndex(kIdDirSel) - 1);
  dialog.Key(VK_RETURN);
  EXPECT_TRUE(dialog.ListTexts(kIdFilSel).empty());
  clips = FindText(dialog.ListTexts(kIdDirSel), L"clips");
  ASSERT_GE(clips, 0);
  dialog.Select(kIdDirSel, clips);
  dialog.Key(VK_RETURN);
  ASSERT_EQ(dialog.ListTexts(kIdFilSel).size(), 3u);

  const std::wstring in = folder.Join(L"clips") + L"\\";
  for (int file : {1, 0, 2, 2}) {
    dialog.Select(kIdFilSel, file);
    dialog.Click(kIdCmdAdd);
  }
  dialog.Select(kIdFilSel, -1);
  dialog.Click(kIdCmdAdd);  // no file selected: the folder with its backslash
  EXPECT_EQ(dialog.ListTexts(kIdLstPlay),
            (Texts{in + L"b.ram", in + L"a.rm", in + L"c.rm", in + L"c.rm", in}));

  dialog.Select(kIdLstPlay, 2);
  dialog.Click(kIdCmdUp);
  EXPECT_EQ(dialog.ListIndex(kIdLstPlay), 1);
  dialog.Click(kIdCmdUp);
  dialog.Click(kIdCmdUp);  // at the top already
  EXPECT_EQ(dialog.ListIndex(kIdLstPlay), 0);
  dialog.Select(kIdLstPlay, 3);
  dialog.Click(kIdCmdDown);
  EXPECT_EQ(dialog.ListIndex(kIdLstPlay), 4);
  dialog.Select(kIdLstPlay, 1);
  dialog.Click(kIdCmdDel);
  EXPECT_EQ(dialog.ListTexts(kIdLstPlay), (Texts{in + L"c.rm", in + L"a.rm", in, in + L"c.rm"}));

  dialog.Click(kIdOptSizeSel0 + 5);
  dialog.Click(kIdOptPosSel0 + 1);
  SetWindowTextW(dialog.Item(kIdTxtSizeFree), L"abc");
  dialog.Click(kIdCmdOk);
  ASSERT_TRUE(dialog.Program().WaitForExit(10000));
  EXPECT_EQ(folder.ReadSettings().value_or("<none>"),
            "ListDir  =c:\r\n" + Line("ListPath =", folder.Join(L"clips")) +
                "SizeSel  =5\r\nSizeFree =abc\r\nPosSel   =1\r\nJyunSel  =0\r\n" +
                Line("PlayList =", in + L"c.rm") + Line("PlayList =", in + L"a.rm") +
                Line("PlayList =", in) + Line("PlayList =", in + L"c.rm"));
}

TEST(DialogSettings, CancelAndClosingLeaveTheFileByteForByte) {
  const std::string file = "SizeSel  =3\r\nPlayList =c:\\" + std::string(90, 'y') +
                           ".rm\r\n\x93\xae\x89\xe6 junk\r\nPosSel   =1";
  for (int way = 0; way < 3; ++way) {
    SCOPED_TRACE(way);
    ProgramFolder folder;
    folder.WriteSettings(file);
    DialogDriver dialog(folder);
    ASSERT_TRUE(dialog.Opened());
    EXPECT_TRUE(dialog.Checked(kIdOptSizeSel0 + 3));
    dialog.Click(kIdOptSizeSel0);
    dialog.Click(kIdCmdAdd);
    ASSERT_EQ(dialog.ListTexts(kIdLstPlay).size(), 2u);
    if (way == 0) dialog.Click(kIdCmdCancel);
    if (way == 1) PostMessageW(dialog.Dialog(), WM_CLOSE, 0, 0);
    if (way == 2) PostMessageW(dialog.Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(dialog.Program().WaitForExit(10000));
    EXPECT_EQ(folder.ReadSettings().value_or("<none>"), file);
  }
}

TEST(DialogSettings, AddIsRefusedAtTheLimitWithTheMessage) {
  ProgramFolder folder;
  std::string file;
  for (int i = 0; i < 100; ++i) file += "PlayList =c:\\" + std::to_string(i) + ".rm\r\n";
  folder.WriteSettings(file);
  DialogDriver dialog(folder);
  ASSERT_TRUE(dialog.Opened());
  ASSERT_EQ(dialog.ListTexts(kIdLstPlay).size(), 100u);
  PostMessageW(dialog.Item(kIdCmdAdd), BM_CLICK, 0, 0);
  HWND box = dialog.WaitForMessageBox(10000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageTexts(box),
            Texts{L"大変申し訳ございませんが、現在１００ファイル以上の選択は、対応していません"});
  Texts buttons;
  for (HWND button : Children(box, L"Button")) {
    if (IsWindowVisible(button)) buttons.push_back(TextOf(button));
  }
  EXPECT_EQ(buttons, Texts{L"OK"});
  PostMessageW(Children(box, L"Button")[0], BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
  dialog.Settle();
  EXPECT_EQ(dialog.ListTexts(kIdLstPlay).size(), 100u);
  EXPECT_TRUE(dialog.Program().Running());
}

TEST(DialogSettings, OkThatCannotWriteSaysWhyAndKeepsTheDialogOpen) {
  ProgramFolder folder;
  // A folder of the settings file's name: no file to read, and none can be written.
  CreateDirectoryW(folder.Join(L"Quorvane.ini").c_str(), nullptr);
  DialogDriver dialog(folder);
  ASSERT_TRUE(dialog.Opened());
  PostMessageW(dialog.Item(kIdCmdOk), BM_CLICK, 0, 0);
  HWND box = dialog.WaitForMessageBox(10000);
  ASSERT_NE(box, nullptr);
  Texts texts = MessageTexts(box);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_NE(texts[0].find(L"Quorvane.ini"), std::wstring::npos) << Narrow(texts[0]);
  EXPECT_NE(texts[0].find(L"保存できませんでした"), std::wstring::npos) << Narrow(texts[0]);
  PostMessageW(Children(box, L"Button")[0], BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
  EXPECT_FALSE(dialog.Program().WaitForExit(1000)) << "the dialog ended";
}

TEST(DialogPreview, ADoubleClickPreviewsTheClipFittedWithoutAddingIt) {
  ProgramFolder folder;
  std::wstring clip = ClipsFolder() + L"\\medium.rm";
  folder.WriteSettings(Line("ListPath =", ClipsFolder()) + Line("PlayList =", clip));
  DialogDriver dialog(folder);
  ASSERT_TRUE(dialog.Opened());
  int medium = FindText(dialog.ListTexts(kIdFilSel), L"medium.rm");
  ASSERT_GE(medium, 0);
  HWND preview = dialog.Item(kIdReaAudioPre);

  dialog.DoubleClick(kIdFilSel, medium);
  EXPECT_EQ(TextOf(preview), clip);
  EXPECT_EQ(dialog.ListTexts(kIdLstPlay), Texts{clip});
  // 320 x 240 fitted into 145 x 129: the whole width, 109 rows, centred, black above and below.
  LitBox box;
  EXPECT_TRUE(WaitUntil(
      [&] {
        box = LitBoxOf(preview);
        return box.left >= 0 && box.right - box.left >= 140;
      },
      10000));
  EXPECT_LE(box.left, 2);
  EXPECT_GE(box.right, 142);
  EXPECT_NEAR(box.bottom - box.top + 1, 109, 3);
  EXPECT_NEAR(box.top, 10, 3);
  SaveScreenshot(L"dialog");

  SetWindowTextW(preview, L"");
  dialog.DoubleClick(kIdLstPlay, 0);
  EXPECT_EQ(TextOf(preview), clip);
  EXPECT_EQ(dialog.ListTexts(kIdLstPlay).size(), 1u);
}

}  // namespace
}  // namespace quorvane::e2e
