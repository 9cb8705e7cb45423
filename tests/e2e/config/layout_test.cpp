// The real settings dialog's layout at 96 DPI, its design-time state and its keyboard rules.
#include <gtest/gtest.h>

#include <cwchar>

#include "config/control_ids.h"
#include "support/dialog_driver.h"

namespace quorvane::e2e {
namespace {

using namespace quorvane::config;

struct Expected {
  int id;
  const wchar_t* window_class;
  const wchar_t* caption;
  int left, top, width, height;  // pixels in the dialog's client area, frame offsets added
};

// Twips divided by 15; a control inside a frame adds the frame's place.
const Expected kExpected[] = {
    {kIdCmdOk, L"Button", L"OK", 464, 272, 73, 25},
    {kIdCmdCancel, L"Button", L"Cancel", 544, 272, 73, 25},
    {kIdFraSizeSel, L"Button", L"倍率設定", 464, 8, 153, 129},
    {kIdOptSizeSel0, L"Button", L"×　０．５", 472, 32, 97, 17},
    {kIdOptSizeSel0 + 1, L"Button", L"×　１．０", 472, 48, 97, 17},
    {kIdOptSizeSel0 + 2, L"Button", L"×　１．５", 472, 64, 97, 17},
    {kIdOptSizeSel0 + 3, L"Button", L"×　２．０", 472, 80, 97, 17},
    {kIdOptSizeSel0 + 4, L"Button", L"×\u3000\u3000\u3000\u3000\u3000\u3000（フリー）", 472, 96,
     129, 17},
    {kIdTxtSizeFree, L"Edit", L"", 504, 96, 41, 18},
    {kIdOptSizeSel0 + 5, L"Button", L"×　フルスクリーン", 472, 112, 129, 17},
    {kIdFraFileSel, L"Button", L"ファイル選択", 8, 8, 449, 289},
    {kIdReaAudioPre, L"QuorvanePlayback", L"", 304, 24, 145, 129},
    {kIdLstPlay, L"ListBox", L"", 16, 176, 433, 88},
    {kIdDrvSel, L"ComboBox", nullptr, 16, 24, 129, 20},
    {kIdDirSel, L"ListBox", L"", 16, 48, 129, 104},
    {kIdFilSel, L"ListBox", L"", 152, 24, 145, 102},
    {kIdCmdAdd, L"Button", L"Ｐｌａｙ　Ｌｉｓｔ　に追加", 152, 128, 145, 25},
    {kIdCmdDel, L"Button", L"削除", 304, 272, 41, 17},
    {kIdLblPlayList, L"Static", L"Play List", 16, 160, 433, 17},
    {kIdFraPosSel, L"Button", L"表示位置", 464, 144, 153, 57},
    {kIdOptPosSel0, L"Button", L"画面中央", 472, 168, 73, 17},
    {kIdOptPosSel0 + 1, L"Button", L"ランダム", 544, 168, 65, 17},
    {kIdFraJyunSel, L"Button", L"再生順序", 464, 208, 153, 57},
    {kIdOptJyunSel0, L"Button", L"リスト順", 472, 232, 65, 17},
    {kIdOptJyunSel0 + 1, L"Button", L"ランダム", 544, 232, 65, 17},
    {kIdCmdUp, L"Button", L"上へ", 352, 272, 41, 17},
    {kIdCmdDown, L"Button", L"下へ", 400, 272, 41, 17},
    {kIdLblTitle, L"Static", L"Quorvane Ver 0.30   by Tobrenvale", 16, 272, 273, 17},
};

LONG StyleOf(HWND window) { return GetWindowLongW(window, GWL_STYLE); }

// A folder of clips and other files for the browser.
void MakeClipsFolder(const ProgramFolder& folder) {
  CreateDirectoryW(folder.Join(L"clips").c_str(), nullptr);
  CreateDirectoryW(folder.Join(L"clips\\sub").c_str(), nullptr);
  for (const wchar_t* name : {L"b.ram", L"A.rm", L"c.RM", L"notes.txt", L"d.rmvb", L"hidden.rm",
                              L"system.ram", L"クリップ.rm"}) {
    WriteFileBytes(folder.Join(std::wstring(L"clips\\") + name), "x");
  }
  SetFileAttributesW(folder.Join(L"clips\\hidden.rm").c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesW(folder.Join(L"clips\\system.ram").c_str(), FILE_ATTRIBUTE_SYSTEM);
  SetFileAttributesW(folder.Join(L"clips\\b.ram").c_str(), FILE_ATTRIBUTE_READONLY);
}

TEST(DialogLayout, EveryControlHasItsKindCaptionPlaceAndSizeAt96Dpi) {
  ProgramFolder folder;
  DialogDriver dialog(folder);
  ASSERT_TRUE(dialog.Opened());
  RECT client;
  GetClientRect(dialog.Dialog(), &client);
  EXPECT_EQ(client.right, 625);
  EXPECT_EQ(client.bottom, 302);
  for (const Expected& e : kExpected) {
    HWND item = dialog.Item(e.id);
    SCOPED_TRACE(testing::Message() << "control " << e.id << " " << Narrow(e.window_class));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(_wcsicmp(ClassOf(item).c_str(), e.window_class), 0) << Narrow(ClassOf(item));
    if (e.caption) {
      EXPECT_EQ(TextOf(item), e.caption);
    }
    RECT place = RectInParent(item);
    EXPECT_EQ(place.left, e.left);
    EXPECT_EQ(place.top, e.top);
    EXPECT_EQ(place.right - place.left, e.width);
    if (e.id == kIdDrvSel) {
      // A closed drop-down list is as high as its font makes it (Wine ignores a smaller
      // selection field): never lower than the layout, at most one border more.
      EXPECT_GE(place.bottom - place.top, e.height);
      EXPECT_LE(place.bottom - place.top, e.height + 2);
    } else {
      EXPECT_EQ(place.bottom - place.top, e.height);
    }
    EXPECT_TRUE(IsWindowVisible(item));
  }
}

TEST(DialogLayout, OpensInTheDesignTimeStateWithoutASettingsFile) {
  ProgramFolder folder;
  MakeClipsFolder(folder);
  DialogDriver dialog(folder, folder.Join(L"clips"));
  ASSERT_TRUE(dialog.Opened());
  // Every button of the magnification array, up to the first id of its run that is no control.
  for (int id = kIdOptSizeSel0; dialog.Item(id); ++id) {
    EXPECT_EQ(dialog.Checked(id), id == kIdOptSizeSel0 + 1) << id;
    EXPECT_EQ(StyleOf(dialog.Item(id)) & BS_TYPEMASK, BS_AUTORADIOBUTTON);
  }
  EXPECT_TRUE(dialog.Checked(kIdOptPosSel0));
  EXPECT_FALSE(dialog.Checked(kIdOptPosSel0 + 1));
  EXPECT_TRUE(dialog.Checked(kIdOptJyunSel0));
  EXPECT_FALSE(dialog.Checked(kIdOptJyunSel0 + 1));
  EXPECT_FALSE(IsWindowEnabled(dialog.Item(kIdOptJyunSel0)));
  EXPECT_FALSE(IsWindowEnabled(dialog.Item(kIdOptJyunSel0 + 1)));
  EXPECT_TRUE(IsWindowEnabled(dialog.Item(kIdOptPosSel0 + 1)));
  EXPECT_EQ(TextOf(dialog.Item(kIdTxtSizeFree)), L"");
  EXPECT_TRUE(dialog.ListTexts(kIdLstPlay).empty());
  for (int id : {kIdFraFileSel, kIdFraSizeSel, kIdFraPosSel, kIdFraJyunSel}) {
    EXPECT_EQ(StyleOf(dialog.Item(id)) & BS_TYPEMASK, BS_GROUPBOX) << id;
  }
  for (int id : {kIdCmdOk, kIdCmdCancel, kIdCmdAdd, kIdCmdDel, kIdCmdUp, kIdCmdDown}) {
    EXPECT_EQ(StyleOf(dialog.Item(id)) & BS_TYPEMASK, BS_PUSHBUTTON) << "a default button";
  }
  EXPECT_EQ(StyleOf(dialog.Item(kIdDrvSel)) & 3, CBS_DROPDOWNLIST);
  EXPECT_EQ(StyleOf(dialog.Item(kIdLstPlay)) & LBS_SORT, 0);

  // The browser starts at the process's current directory; the file list shows the clips of
  // both patterns, sorted, and neither other files nor hidden or system ones.
  EXPECT_EQ(TextOf(dialog.Item(kIdDrvSel)).substr(0, 2), L"c:");
  std::vector<std::wstring> folders = dialog.ListTexts(kIdDirSel);
  int current = dialog.ListIndex(kIdDirSel);
  ASSERT_GE(current, 1);
  EXPECT_EQ(folders[static_cast<size_t>(current)], L"clips");
  EXPECT_EQ(folders.back(), L"sub");
  EXPECT_EQ(dialog.ListTexts(kIdFilSel),
            (std::vector<std::wstring>{L"A.rm", L"b.ram", L"c.RM", L"クリップ.rm"}));
}

TEST(DialogLayout, TheFreeFactorBoxLiesAboveItsOptionButton) {
  ProgramFolder folder;
  DialogDriver dialog(folder);
  ASSERT_TRUE(dialog.Opened());
  HWND text = dialog.Item(kIdTxtSizeFree);
  HWND option = dialog.Item(kIdOptSizeSel0 + 4);
  bool option_below = false;
  for (HWND next = GetWindow(text, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT)) {
    option_below = option_below || next == option;
  }
  EXPECT_TRUE(option_below) << "txtSizeFree is under optSizeSel(4)";
  RECT place = RectInParent(text);
  POINT centre{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
  EXPECT_EQ(ChildWindowFromPointEx(dialog.Dialog(), centre, CWP_SKIPINVISIBLE), text);

  // A click there reaches the text box; typing does not select the free option.
  PostClick(text, 5, 5);
  dialog.Settle();
  EXPECT_EQ(dialog.Focus(), text);
  PostMessageW(text, WM_CHAR, L'2', 1);
  dialog.Settle();
  EXPECT_EQ(TextOf(text), L"2");
  EXPECT_FALSE(dialog.Checked(kIdOptSizeSel0 + 4));
  EXPECT_TRUE(dialog.Checked(kIdOptSizeSel0 + 1));
}

TEST(DialogKeys, FocusStartsOnOkAndTabFollowsTheTabOrder) {
  ProgramFolder folder;
  DialogDriver dialog(folder);
  ASSERT_TRUE(dialog.Opened());
  EXPECT_EQ(dialog.Focus(), dialog.Item(kIdCmdOk));
  // Frames, labels and the preview never take the focus, nor the disabled play-order buttons;
  // of an option array only its selected button does.
  const int order[] = {kIdCmdCancel, kIdOptSizeSel0 + 1, kIdTxtSizeFree, kIdLstPlay, kIdDrvSel,
                       kIdDirSel,    kIdFilSel,          kIdCmdAdd,      kIdCmdDel,  kIdOptPosSel0,
                       kIdCmdUp,     kIdCmdDown,         kIdCmdOk};
  for (int id : order) {
    dialog.Key(VK_TAB);
    EXPECT_EQ(GetDlgCtrlID(dialog.Focus()), id);
  }
  // The arrow keys move within an option array; Tab then leaves from the new selection.
  dialog.Key(VK_TAB);
  dialog.Key(VK_TAB);
  ASSERT_EQ(dialog.Focus(), dialog.Item(kIdOptSizeSel0 + 1));
  dialog.Key(VK_DOWN);
  EXPECT_EQ(dialog.Focus(), dialog.Item(kIdOptSizeSel0 + 2));
  EXPECT_TRUE(dialog.Checked(kIdOptSizeSel0 + 2));
  EXPECT_FALSE(dialog.Checked(kIdOptSizeSel0 + 1));
  dialog.Key(VK_TAB);
  EXPECT_EQ(dialog.Focus(), dialog.Item(kIdTxtSizeFree));
}

TEST(DialogKeys, EscapeNeverClosesAndEnterPressesOkOnlyOnOk) {
  ProgramFolder folder;
  DialogDriver dialog(folder);
  ASSERT_TRUE(dialog.Opened());
  dialog.Key(VK_ESCAPE);
  dialog.Key(VK_TAB);  // Cancel
  dialog.Key(VK_ESCAPE);
  dialog.Key(VK_TAB);  // optSizeSel(1)
  dialog.Key(VK_RETURN);
  dialog.Key(VK_TAB);  // txtSizeFree
  dialog.Key(VK_RETURN);
  dialog.Key(VK_TAB);  // lstPlay
  dialog.Key(VK_RETURN);
  EXPECT_FALSE(dialog.Program().WaitForExit(1000)) << "the dialog closed";
  EXPECT_FALSE(folder.ReadSettings().has_value()) << "OK was pressed";

  for (int i = 0; i < 9; ++i) dialog.Key(VK_TAB);
  ASSERT_EQ(dialog.Focus(), dialog.Item(kIdCmdOk));
  PostKey(dialog.Focus(), VK_RETURN);
  EXPECT_TRUE(dialog.Program().WaitForExit(10000));
  EXPECT_TRUE(folder.ReadSettings().has_value()) << "Enter on OK did not save";
}

// At 120 and 144 DPI (125 % and 150 %) every control keeps its place: the twips (15 to a
// pixel at 96 DPI) converted at the screen's DPI, give or take the rounding of a frame's offset.
TEST(DialogLayout, ScalesWithTheScreensDpi) {
  for (int dpi : {120, 144}) {
    SCOPED_TRACE(dpi);
    ScreenDpi screen(static_cast<DWORD>(dpi));
    ProgramFolder folder;
    DialogDriver dialog(folder);
    ASSERT_TRUE(dialog.Opened());
    auto scaled = [dpi](int pixels_at_96) { return MulDiv(pixels_at_96 * 15, dpi, 1440); };
    RECT client;
    GetClientRect(dialog.Dialog(), &client);
    EXPECT_EQ(client.right, scaled(625));
    EXPECT_EQ(client.bottom, scaled(302));
    for (const Expected& e : kExpected) {
      SCOPED_TRACE(e.id);
      RECT place = RectInParent(dialog.Item(e.id));
      EXPECT_NEAR(place.left, scaled(e.left), 1);
      EXPECT_NEAR(place.top, scaled(e.top), 1);
      EXPECT_NEAR(place.right, scaled(e.left + e.width), 1);
      if (e.id != kIdDrvSel) {
        EXPECT_NEAR(place.bottom, scaled(e.top + e.height), 1);
      }
    }
  }
}

}  // namespace
}  // namespace quorvane::e2e
