#include "config/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "config/control_ids.h"
#include "config/frm_config.h"

namespace quorvane::config {
namespace {

// The dialog as it was drawn up, copied here by hand in tab order.
struct Designed {
  int id;
  Kind kind;
  int parent;
  const char* caption;
  int left, top, width, height;
};

const Designed kDesigned[] = {
    {kIdCmdOk, Kind::kPushButton, 0, "OK", 6960, 4080, 1095, 375},
    {kIdCmdCancel, Kind::kPushButton, 0, "Cancel", 8160, 4080, 1095, 375},
    {kIdFraSizeSel, Kind::kFrame, 0, "倍率設定", 6960, 120, 2295, 1935},
    {kIdOptSizeSel0, Kind::kOption, kIdFraSizeSel, "×　０．５", 120, 360, 1455, 255},
    {kIdOptSizeSel0 + 1, Kind::kOption, kIdFraSizeSel, "×　１．０", 120, 600, 1455, 255},
    {kIdOptSizeSel0 + 2, Kind::kOption, kIdFraSizeSel, "×　１．５", 120, 840, 1455, 255},
    {kIdOptSizeSel0 + 3, Kind::kOption, kIdFraSizeSel, "×　２．０", 120, 1080, 1455, 255},
    {kIdOptSizeSel0 + 4, Kind::kOption, kIdFraSizeSel,
     "×\u3000\u3000\u3000\u3000\u3000\u3000（フリー）", 120, 1320, 1935, 255},
    {kIdTxtSizeFree, Kind::kTextBox, kIdFraSizeSel, "", 600, 1320, 615, 270},
    {kIdOptSizeSel0 + 5, Kind::kOption, kIdFraSizeSel, "×　フルスクリーン", 120, 1560, 1935, 255},
    {kIdFraFileSel, Kind::kFrame, 0, "ファイル選択", 120, 120, 6735, 4335},
    {kIdReaAudioPre, Kind::kPreview, kIdFraFileSel, "", 4440, 240, 2175, 1935},
    {kIdLstPlay, Kind::kListBox, kIdFraFileSel, "", 120, 2520, 6495, 1320},
    {kIdDrvSel, Kind::kDriveList, kIdFraFileSel, "", 120, 240, 1935, 300},
    {kIdDirSel, Kind::kDirList, kIdFraFileSel, "", 120, 600, 1935, 1560},
    {kIdFilSel, Kind::kFileList, kIdFraFileSel, "", 2160, 240, 2175, 1530},
    {kIdCmdAdd, Kind::kPushButton, kIdFraFileSel, "Ｐｌａｙ　Ｌｉｓｔ　に追加", 2160, 1800, 2175,
     375},
    {kIdCmdDel, Kind::kPushButton, kIdFraFileSel, "削除", 4440, 3960, 615, 255},
    {kIdLblPlayList, Kind::kLabel, kIdFraFileSel, "Play List", 120, 2280, 6495, 255},
    {kIdFraPosSel, Kind::kFrame, 0, "表示位置", 6960, 2160, 2295, 855},
    {kIdOptPosSel0, Kind::kOption, kIdFraPosSel, "画面中央", 120, 360, 1095, 255},
    {kIdOptPosSel0 + 1, Kind::kOption, kIdFraPosSel, "ランダム", 1200, 360, 975, 255},
    {kIdFraJyunSel, Kind::kFrame, 0, "再生順序", 6960, 3120, 2295, 855},
    {kIdOptJyunSel0, Kind::kOption, kIdFraJyunSel, "リスト順", 120, 360, 975, 255},
    {kIdOptJyunSel0 + 1, Kind::kOption, kIdFraJyunSel, "ランダム", 1200, 360, 975, 255},
    {kIdCmdUp, Kind::kPushButton, kIdFraFileSel, "上へ", 5160, 3960, 615, 255},
    {kIdCmdDown, Kind::kPushButton, kIdFraFileSel, "下へ", 5880, 3960, 615, 255},
    {kIdLblTitle, Kind::kLabel, kIdFraFileSel, "Quorvane Ver 0.30   by Tobrenvale", 120, 3960, 4095,
     255},
};

TEST(Layout, EveryControlHasTheKindParentCaptionPlaceAndTabIndexItWasDrawnWith) {
  ASSERT_EQ(std::size(kDesigned), kLayout.size());
  for (size_t tab_index = 0; tab_index < kLayout.size(); ++tab_index) {
    const Designed& d = kDesigned[tab_index];
    SCOPED_TRACE(testing::Message() << "control " << d.id);
    const ControlLayout& row = kLayout[tab_index];
    EXPECT_EQ(row.id, d.id);
    EXPECT_EQ(row.kind, d.kind);
    EXPECT_EQ(row.parent, d.parent);
    EXPECT_EQ(std::string(row.caption), d.caption);
    EXPECT_EQ(row.place.left, d.left);
    EXPECT_EQ(row.place.top, d.top);
    EXPECT_EQ(row.place.width, d.width);
    EXPECT_EQ(row.place.height, d.height);
  }
}

TEST(Layout, FontsColoursTipsAndDesignTimeStateFollowEachControlsRow) {
  const std::string tip = "ファイルＩＤをダブルクリックでプレビュー";
  for (const ControlLayout& row : kLayout) {
    SCOPED_TRACE(testing::Message() << "control " << row.id);
    bool frame = row.kind == Kind::kFrame;
    FontRole font = frame                        ? FontRole::kFrame
                    : row.id == kIdLblPlayList   ? FontRole::kHeading
                    : row.id == kIdLblTitle      ? FontRole::kTitle
                    : row.kind == Kind::kPreview ? FontRole::kNone
                                                 : FontRole::kControls;
    EXPECT_EQ(row.font, font);
    ColourRole colour = frame                      ? ColourRole::kFrameCaption
                        : row.id == kIdLblPlayList ? ColourRole::kHeadingBar
                        : row.id == kIdLblTitle    ? ColourRole::kTitleBar
                                                   : ColourRole::kDefault;
    EXPECT_EQ(row.colour, colour);
    bool tipped = row.id == kIdFilSel || row.id == kIdLstPlay;
    EXPECT_EQ(row.tip ? std::string(row.tip) : "", tipped ? tip : "");
    bool selected =
        row.id == kIdOptSizeSel0 + 1 || row.id == kIdOptPosSel0 || row.id == kIdOptJyunSel0;
    EXPECT_EQ((row.flags & kSelected) != 0, selected);
    bool play_order = row.id == kIdOptJyunSel0 || row.id == kIdOptJyunSel0 + 1;
    EXPECT_EQ((row.flags & kDisabled) != 0, play_order);
  }
}

TEST(Layout, TwelveEventsHaveHandlersAndNoOtherDoes) {
  struct Handled {
    int id;
    Event event;
    void (FrmConfig::*handler)();
  } handled[] = {
      {kIdCmdOk, Event::kClick, &FrmConfig::cmdOk_Click},
      {kIdCmdCancel, Event::kClick, &FrmConfig::cmdCancel_Click},
      {kIdDrvSel, Event::kChange, &FrmConfig::drvSel_Change},
      {kIdDirSel, Event::kChange, &FrmConfig::dirSel_Change},
      {kIdFilSel, Event::kDblClick, &FrmConfig::filSel_DblClick},
      {kIdLstPlay, Event::kDblClick, &FrmConfig::lstPlay_DblClick},
      {kIdCmdAdd, Event::kClick, &FrmConfig::cmdAdd_Click},
      {kIdCmdDel, Event::kClick, &FrmConfig::cmdDel_Click},
      {kIdCmdUp, Event::kClick, &FrmConfig::cmdUp_Click},
      {kIdCmdDown, Event::kClick, &FrmConfig::cmdDown_Click},
  };
  int with_handler = 0;
  for (const ControlLayout& row : kLayout) {
    with_handler += row.handler != nullptr;
    EXPECT_EQ(row.handler == nullptr, row.event == Event::kNone) << row.id;
  }
  EXPECT_EQ(with_handler, 10);  // and the dialog's own Form_Load and Form_Unload
  for (const Handled& h : handled) {
    EXPECT_EQ(LayoutOf(h.id).event, h.event) << h.id;
    EXPECT_TRUE(LayoutOf(h.id).handler == h.handler) << h.id;
  }
}

TEST(Layout, StackingKeepsFramesUnderTheirControlsAndEachOptionArrayOneGroup) {
  std::vector<const ControlLayout*> stack = StackingOrder();
  ASSERT_EQ(stack.size(), kLayout.size());
  auto depth = [&stack](int id) {
    return static_cast<size_t>(std::ranges::find(stack, &LayoutOf(id)) - stack.begin());
  };
  EXPECT_LT(depth(kIdTxtSizeFree), depth(kIdOptSizeSel0 + 4)) << "the box lies over the caption";
  for (const ControlLayout& row : kLayout) {
    EXPECT_LT(depth(row.id), stack.size()) << row.id << " not stacked";
    if (row.parent != 0) {
      EXPECT_LT(depth(row.id), depth(row.parent)) << row.id << " under its frame";
    }
  }
  // The arrow keys move from a group's first control down the stack to the next that starts a
  // group: each array is one such run, its buttons in index order, the Tab key at the first.
  for (int first : {kIdOptSizeSel0, kIdOptPosSel0, kIdOptJyunSel0}) {
    SCOPED_TRACE(first);
    int count = OptionCount(first);
    size_t top = depth(first);
    EXPECT_EQ(stack[top]->flags & (kTabStop | kGroup), kTabStop | kGroup);
    for (int i = 1; i < count; ++i) {
      const ControlLayout* button = stack[top + static_cast<size_t>(i)];
      EXPECT_EQ(button->id, first + i);
      EXPECT_EQ(button->flags & (kTabStop | kGroup), 0u);
    }
    size_t after = top + static_cast<size_t>(count);
    if (after < stack.size()) {
      EXPECT_TRUE(stack[after]->flags & kGroup) << "the array runs on into the next control";
    }
  }
}

TEST(Layout, AnOptionArrayHasAsManyButtonsAsTheDesignHasOptionsInItsFrame) {
  for (int first : {kIdOptSizeSel0, kIdOptPosSel0, kIdOptJyunSel0}) {
    SCOPED_TRACE(first);
    auto designed = std::ranges::find(kDesigned, first, &Designed::id);
    ASSERT_NE(designed, std::end(kDesigned));
    auto count = std::ranges::count_if(kDesigned, [designed](const Designed& d) {
      return d.kind == Kind::kOption && d.parent == designed->parent;
    });
    EXPECT_EQ(OptionCount(first), count);
    EXPECT_EQ(OptionCount(first + 1), count - 1) << "counted from the second button";
  }
  EXPECT_EQ(OptionCount(kIdTxtSizeFree), 0);
  EXPECT_EQ(OptionCount(9999), 0);
}

TEST(Layout, TheTabKeyStopsOnlyAtControlsThatTakeInputAndEachStartsAGroup) {
  for (const ControlLayout& row : kLayout) {
    if (row.kind == Kind::kOption) continue;  // an array's buttons: above
    bool input = row.kind != Kind::kFrame && row.kind != Kind::kLabel && row.kind != Kind::kPreview;
    EXPECT_EQ((row.flags & kTabStop) != 0, input) << row.id;
    EXPECT_EQ((row.flags & kGroup) != 0, row.kind != Kind::kPreview) << row.id;
  }
}

TEST(Layout, TwipsBecomePixelsRoundedAtEachDpi) {
  struct Case {
    int twips, dpi, pixels;
  } cases[] = {{1440, 96, 96},   {15, 96, 1},      {7, 96, 0},     {8, 96, 1}, {9375, 96, 625},
               {9375, 120, 781}, {9375, 144, 938}, {255, 120, 21}, {0, 144, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
  }
}

TEST(Layout, PlacesControlsInTheirFramesAndInTabOrder) {
  // cmdOk lies on the dialog; optSizeSel(4) in fraSizeSel, from the frame's corner.
  PixelRect ok = PlaceOf(LayoutOf(kIdCmdOk), 96);
  EXPECT_EQ(ok.left, 464);
  EXPECT_EQ(ok.top, 272);
  EXPECT_EQ(ok.right, 537);
  EXPECT_EQ(ok.bottom, 297);
  PixelRect free = PlaceOf(LayoutOf(kIdOptSizeSel0 + 4), 144);
  EXPECT_EQ(free.left, (6960 + 120) / 10);
  EXPECT_EQ(free.top, (120 + 1320) / 10);
  EXPECT_EQ(free.right - free.left, 1935 / 10 + 1);  // 193.5 rounds up
  // The table is in tab order: OK first, the title line last, every control once.
  EXPECT_EQ(kLayout.front().id, kIdCmdOk);
  EXPECT_EQ(kLayout[8].id, kIdTxtSizeFree);
  EXPECT_EQ(kLayout.back().id, kIdLblTitle);
  for (const ControlLayout& control : kLayout) EXPECT_EQ(FindLayout(control.id), &control);
  EXPECT_EQ(FindLayout(9999), nullptr);
  EXPECT_THROW(LayoutOf(9999), std::out_of_range);
}

TEST(Layout, CaptionsHaveTheirControlsWidthLessWhatTheControlDrawsBesideThem) {
  // At 96 DPI optSizeSel(4) is 129 pixels wide: 18 go to the circle and the gap after it.
  EXPECT_EQ(CaptionRoom(LayoutOf(kIdOptSizeSel0 + 4), 96), 129 - 18);
  EXPECT_EQ(CaptionRoom(LayoutOf(kIdOptSizeSel0 + 4), 144), 194 - 27);
  EXPECT_EQ(CaptionRoom(LayoutOf(kIdCmdAdd), 96), 145 - 10);
  EXPECT_EQ(CaptionRoom(LayoutOf(kIdLblTitle), 96), 273 - 4);
  EXPECT_EQ(CaptionRoom(LayoutOf(kIdFraSizeSel), 120), 191 - 20);
  EXPECT_EQ(CaptionRoom(LayoutOf(kIdLstPlay), 96), 433);
}

}  // namespace
}  // namespace quorvane::config
