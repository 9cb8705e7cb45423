// The real settings dialog's layout at 96 DPI (the table of expected_layout.h), its design-time
// state and its keyboard rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "config/control_ids.h"
#include "config/expected_layout.h"
#include "support/dialog_driver.h"

namespace quorvane::e2e {
namespace {

using namespace quorvane::config;

// Twips divided by 15; a control inside a frame adds the frame's place.
const Expected kRows[] = {
    {kIdCmdOk, Shown::kPushButton, L"OK", 464, 272, 73, 25},
    {kIdCmdCancel, Shown::kPushButton, L"Cancel", 544, 272, 73, 25},
    {kIdFraSizeSel, Shown::kFrame, L"倍率設定", 464, 8, 153, 129, COLOR_HIGHLIGHT},
    {kIdOptSizeSel0, Shown::kOption, L"×　０．５", 472, 32, 97, 17},
    {kIdOptSizeSel0 + 1, Shown::kOption, L"×　１．０", 472, 48, 97, 17},
    {kIdOptSizeSel0 + 2, Shown::kOption, L"×　１．５", 472, 64, 97, 17},
    {kIdOptSizeSel0 + 3, Shown::kOption, L"×　２．０", 472, 80, 97, 17},
    {kIdOptSizeSel0 + 4, Shown::kOption, L"×\u3000\u3000\u3000\u3000\u3000\u3000（フリー）", 472,
     96, 129, 17},
    {kIdTxtSizeFree, Shown::kTextBox, L"", 504, 96, 41, 18},
    {kIdOptSizeSel0 + 5, Shown::kOption, L"×　フルスクリーン", 472, 112, 129, 17},
    {kIdFraFileSel, Shown::kFrame, L"ファイル選択", 8, 8, 449, 289, COLOR_HIGHLIGHT},
    {kIdReaAudioPre, Shown::kPreview, L"", 304, 24, 145, 129},
    {kIdLstPlay, Shown::kList, L"", 16, 176, 433, 88},
    {kIdDrvSel, Shown::kDropDown, nullptr, 16, 24, 129, 20},
    {kIdDirSel, Shown::kList, L"", 16, 48, 129, 104},
    {kIdFilSel, Shown::kList, L"", 152, 24, 145, 102},
    {kIdCmdAdd, Shown::kPushButton, L"Ｐｌａｙ　Ｌｉｓｔ　に追加", 152, 128, 145, 25},
    {kIdCmdDel, Shown::kPushButton, L"削除", 304, 272, 41, 17},
    {kIdLblPlayList, Shown::kLabel, L"Play List", 16, 160, 433, 17, COLOR_HIGHLIGHTTEXT},
    {kIdFraPosSel, Shown::kFrame, L"表示位置", 464, 144, 153, 57, COLOR_HIGHLIGHT},
    {kIdOptPosSel0, Shown::kOption, L"画面中央", 472, 168, 73, 17},
    {kIdOptPosSel0 + 1, Shown::kOption, L"ランダム", 544, 168, 65, 17},
    {kIdFraJyunSel, Shown::kFrame, L"再生順序", 464, 208, 153, 57, COLOR_HIGHLIGHT},
    {kIdOptJyunSel0, Shown::kOption, L"リスト順", 472, 232, 65, 17, COLOR_GRAYTEXT},  // disabled
    {kIdOptJyunSel0 + 1, Shown::kOption, L"ランダム", 544, 232, 65, 17, COLOR_GRAYTEXT},
    {kIdCmdUp, Shown::kPushButton, L"上へ", 352, 272, 41, 17},
    {kIdCmdDown, Shown::kPushButton, L"下へ", 400, 272, 41, 17},
    {kIdLblTitle, Shown::kLabel, L"Quorvane Ver 0.30   by Tobrenvale", 16, 272, 273, 17,
     COLOR_CAPTIONTEXT},
};

// A control's window class, the style bits that tell its type, and whether it can take the focus.
struct Look {
  const wchar_t* window_class;
  LONG type_mask, type;
  bool focus;
};

Look LookOf(Shown shown) {
  switch (shown) {
    case Shown::kPushButton:
      return {L"Button", BS_TYPEMASK, BS_PUSHBUTTON, true};  // none is the default button
    case Shown::kFrame:
      return {L"Button", BS_TYPEMASK, BS_GROUPBOX, false};
    case Shown::kOption:
      return {L"Button", BS_TYPEMASK, BS_AUTORADIOBUTTON, true};
    case Shown::kTextBox:
      return {L"Edit", 0, 0, true};
    case Shown::kLabel:
      return {L"Static", 0, 0, false};
    case Shown::kDropDown:
      return {L"ComboBox", 3, CBS_DROPDOWNLIST, true};
    case Shown::kList:
      return {L"ListBox", 0, 0, true};
    case Shown::kPreview:
      break;
  }
  return {L"QuorvanePlayback", 0, 0, false};
}

}  // namespace

const std::span<const Expected> kExpected = kRows;

namespace {

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

TEST(DialogLayout, HasExactlyTheseControlsEachWithItsKindCaptionPlaceAndSizeAt96Dpi) {
  ProgramFolder folder;
  DialogDriver dialog(folder);
  ASSERT_TRUE(dialog.Opened());
  RECT client;
  GetClientRect(dialog.Dialog(), &client);
  EXPECT_EQ(client.right, 625);
  EXPECT_EQ(client.bottom, 302);
  std::vector<int> ids, expected_ids;
  for (HWND child : Children(dialog.Dialog())) ids.push_back(GetDlgCtrlID(child));
  for (const Expected& e : kExpected) expected_ids.push_back(e.id);
  std::ranges::sort(ids);
  std::ranges::sort(expected_ids);
  EXPECT_EQ(ids, expected_ids) << "the dialog's controls are not the table's";
  for (const Expected& e : kExpected) {
    HWND item = dialog.Item(e.id);
    Look look = LookOf(e.shown);
    SCOPED_TRACE(testing::Message() << "control " << e.id << " " << Narrow(look.window_class));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(_wcsicmp(ClassOf(item).c_str(), look.window_class), 0) << Narrow(ClassOf(item));
    EXPECT_EQ(StyleOf(item) & look.type_mask, look.type);
    if (e.caption) {
      EXPECT_EQ(TextOf(item), e.caption);
    }
    RECT place = RectInParent(item);
    EXPECT_EQ(place.left, e.left);
    EXPECT_EQ(place.top, e.top);
    EXPECT_EQ(place.right - place.left, e.width);
    if (e.shown == Shown::kDropDown) {
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
  }
  EXPECT_TRUE(dialog.Checked(kIdOptPosSel0));
  EXPECT_FALSE(dialog.Checked(kIdOptPosSel0 + 1));
  EXPECT_TRUE(dialog.Checked(kIdOptJyunSel0));
  EXPECT_FALSE(dialog.Checked(kIdOptJyunSel0 + 1));
  // The play-order buttons are disabled, and no other control.
  for (const Expected& e : kExpected) {
    bool play_order = e.id == kIdOptJyunSel0 || e.id == kIdOptJyunSel0 + 1;
    EXPECT_NE(IsWindowEnabled(dialog.Item(e.id)) != FALSE, play_order) << e.id;
  }
  EXPECT_EQ(TextOf(dialog.Item(kIdTxtSizeFree)), L"");
  EXPECT_TRUE(dialog.ListTexts(kIdLstPlay).empty());
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
  // Frames, labels and the preview never take the focus, nor the disabled play-order buttons;
  // of an option array only its selected button does.
  std::vector<int> stops;
  for (const Expected& e : kExpected) {
    HWND item = dialog.Item(e.id);
    bool can = LookOf(e.shown).focus && IsWindowEnabled(item);
    if (can && (e.shown != Shown::kOption || dialog.Checked(e.id))) stops.push_back(e.id);
  }
  ASSERT_FALSE(stops.empty());
  EXPECT_EQ(stops.front(), kIdCmdOk);
  EXPECT_EQ(dialog.Focus(), dialog.Item(stops.front()));
  for (size_t i = 1; i <= stops.size(); ++i) {
    dialog.Key(VK_TAB);
    EXPECT_EQ(GetDlgCtrlID(dialog.Focus()), stops[i % stops.size()]);
  }
  // The arrow keys move within an option array; Tab then leaves from the new selection.
  ASSERT_TRUE(dialog.TabTo(kIdOptSizeSel0 + 1));
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

  ASSERT_TRUE(dialog.TabTo(kIdCmdOk));
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
      if (e.shown != Shown::kDropDown) {
        EXPECT_NEAR(place.bottom, scaled(e.top + e.height), 1);
      }
    }
  }
}

}  // namespace
}  // namespace quorvane::e2e
