#include "config/layout.h"

#include <algorithm>
#include <stdexcept>

#include "config/control_ids.h"
#include "config/frm_config.h"

namespace quorvane::config {
namespace {

constexpr char kPreviewTip[] = "ファイルＩＤをダブルクリックでプレビュー";

// Captions are quoted exactly, full-width letters and ideographic spaces (U+3000) included. The
// title line is a caption like the others, not made from the version resource's number.
// Every control but the later buttons of an
// option array starts a group, so that the arrow keys move only within an array; an array takes
// the Tab key at its first button. The preview is the playback component's own window: only its
// place and stacking come from here.
const ControlLayout kRows[] = {
    {kIdCmdOk, Kind::kPushButton, 0, "OK", 6960, 4080, 1095, 375, Layer::kInput, kTabStop | kGroup,
     FontRole::kControls, ColourRole::kDefault, nullptr, Event::kClick, &FrmConfig::cmdOk_Click},
    {kIdCmdCancel, Kind::kPushButton, 0, "Cancel", 8160, 4080, 1095, 375, Layer::kInput,
     kTabStop | kGroup, FontRole::kControls, ColourRole::kDefault, nullptr, Event::kClick,
     &FrmConfig::cmdCancel_Click},
    {kIdFraSizeSel, Kind::kFrame, 0, "倍率設定", 6960, 120, 2295, 1935, Layer::kFrame, kGroup,
     FontRole::kFrame, ColourRole::kFrameCaption, nullptr, Event::kNone, nullptr},
    {kIdOptSizeSel0, Kind::kOption, kIdFraSizeSel, "×　０．５", 120, 360, 1455, 255, Layer::kInput,
     kTabStop | kGroup, FontRole::kControls, ColourRole::kDefault, nullptr, Event::kNone, nullptr},
    {kIdOptSizeSel0 + 1, Kind::kOption, kIdFraSizeSel, "×　１．０", 120, 600, 1455, 255,
     Layer::kInput, kSelected, FontRole::kControls, ColourRole::kDefault, nullptr, Event::kNone,
     nullptr},
    {kIdOptSizeSel0 + 2, Kind::kOption, kIdFraSizeSel, "×　１．５", 120, 840, 1455, 255,
     Layer::kInput, 0, FontRole::kControls, ColourRole::kDefault, nullptr, Event::kNone, nullptr},
    {kIdOptSizeSel0 + 3, Kind::kOption, kIdFraSizeSel, "×　２．０", 120, 1080, 1455, 255,
     Layer::kInput, 0, FontRole::kControls, ColourRole::kDefault, nullptr, Event::kNone, nullptr},
    {kIdOptSizeSel0 + 4, Kind::kOption, kIdFraSizeSel, "×　　　　　　（フリー）", 120, 1320, 1935,
     255, Layer::kInput, 0, FontRole::kControls, ColourRole::kDefault, nullptr, Event::kNone,
     nullptr},
    {kIdTxtSizeFree, Kind::kTextBox, kIdFraSizeSel, "", 600, 1320, 615, 270, Layer::kOverlay,
     kTabStop | kGroup, FontRole::kControls, ColourRole::kDefault, nullptr, Event::kNone, nullptr},
    {kIdOptSizeSel0 + 5, Kind::kOption, kIdFraSizeSel, "×　フルスクリーン", 120, 1560, 1935, 255,
     Layer::kInput, 0, FontRole::kControls, ColourRole::kDefault, nullptr, Event::kNone, nullptr},
    {kIdFraFileSel, Kind::kFrame, 0, "ファイル選択", 120, 120, 6735, 4335, Layer::kFrame, kGroup,
     FontRole::kFrame, ColourRole::kFrameCaption, nullptr, Event::kNone, nullptr},
    {kIdReaAudioPre, Kind::kPreview, kIdFraFileSel, "", 4440, 240, 2175, 1935, Layer::kPreview, 0,
     FontRole::kNone, ColourRole::kDefault, nullptr, Event::kNone, nullptr},
    {kIdLstPlay, Kind::kListBox, kIdFraFileSel, "", 120, 2520, 6495, 1320, Layer::kInput,
     kTabStop | kGroup, FontRole::kControls, ColourRole::kDefault, kPreviewTip, Event::kDblClick,
     &FrmConfig::lstPlay_DblClick},
    {kIdDrvSel, Kind::kDriveList, kIdFraFileSel, "", 120, 240, 1935, 300, Layer::kInput,
     kTabStop | kGroup, FontRole::kControls, ColourRole::kDefault, nullptr, Event::kChange,
     &FrmConfig::drvSel_Change},
    {kIdDirSel, Kind::kDirList, kIdFraFileSel, "", 120, 600, 1935, 1560, Layer::kInput,
     kTabStop | kGroup, FontRole::kControls, ColourRole::kDefault, nullptr, Event::kChange,
     &FrmConfig::dirSel_Change},
    {kIdFilSel, Kind::kFileList, kIdFraFileSel, "", 2160, 240, 2175, 1530, Layer::kInput,
     kTabStop | kGroup, FontRole::kControls, ColourRole::kDefault, kPreviewTip, Event::kDblClick,
     &FrmConfig::filSel_DblClick},
    {kIdCmdAdd, Kind::kPushButton, kIdFraFileSel, "Ｐｌａｙ　Ｌｉｓｔ　に追加", 2160, 1800, 2175,
     375, Layer::kInput, kTabStop | kGroup, FontRole::kControls, ColourRole::kDefault, nullptr,
     Event::kClick, &FrmConfig::cmdAdd_Click},
    {kIdCmdDel, Kind::kPushButton, kIdFraFileSel, "削除", 4440, 3960, 615, 255, Layer::kInput,
     kTabStop | kGroup, FontRole::kControls, ColourRole::kDefault, nullptr, Event::kClick,
     &FrmConfig::cmdDel_Click},
    {kIdLblPlayList, Kind::kLabel, kIdFraFileSel, "Play List", 120, 2280, 6495, 255, Layer::kLabel,
     kGroup, FontRole::kHeading, ColourRole::kHeadingBar, nullptr, Event::kNone, nullptr},
    {kIdFraPosSel, Kind::kFrame, 0, "表示位置", 6960, 2160, 2295, 855, Layer::kFrame, kGroup,
     FontRole::kFrame, ColourRole::kFrameCaption, nullptr, Event::kNone, nullptr},
    {kIdOptPosSel0, Kind::kOption, kIdFraPosSel, "画面中央", 120, 360, 1095, 255, Layer::kInput,
     kTabStop | kGroup | kSelected, FontRole::kControls, ColourRole::kDefault, nullptr,
     Event::kNone, nullptr},
    {kIdOptPosSel0 + 1, Kind::kOption, kIdFraPosSel, "ランダム", 1200, 360, 975, 255, Layer::kInput,
     0, FontRole::kControls, ColourRole::kDefault, nullptr, Event::kNone, nullptr},
    {kIdFraJyunSel, Kind::kFrame, 0, "再生順序", 6960, 3120, 2295, 855, Layer::kFrame, kGroup,
     FontRole::kFrame, ColourRole::kFrameCaption, nullptr, Event::kNone, nullptr},
    {kIdOptJyunSel0, Kind::kOption, kIdFraJyunSel, "リスト順", 120, 360, 975, 255, Layer::kInput,
     kTabStop | kGroup | kSelected | kDisabled, FontRole::kControls, ColourRole::kDefault, nullptr,
     Event::kNone, nullptr},
    {kIdOptJyunSel0 + 1, Kind::kOption, kIdFraJyunSel, "ランダム", 1200, 360, 975, 255,
     Layer::kInput, kDisabled, FontRole::kControls, ColourRole::kDefault, nullptr, Event::kNone,
     nullptr},
    {kIdCmdUp, Kind::kPushButton, kIdFraFileSel, "上へ", 5160, 3960, 615, 255, Layer::kInput,
     kTabStop | kGroup, FontRole::kControls, ColourRole::kDefault, nullptr, Event::kClick,
     &FrmConfig::cmdUp_Click},
    {kIdCmdDown, Kind::kPushButton, kIdFraFileSel, "下へ", 5880, 3960, 615, 255, Layer::kInput,
     kTabStop | kGroup, FontRole::kControls, ColourRole::kDefault, nullptr, Event::kClick,
     &FrmConfig::cmdDown_Click},
    {kIdLblTitle, Kind::kLabel, kIdFraFileSel, "Quorvane Ver 0.30   by Tobrenvale", 120, 3960, 4095,
     255, Layer::kLabel, kGroup, FontRole::kTitle, ColourRole::kTitleBar, nullptr, Event::kNone,
     nullptr},
};

}  // namespace

const std::span<const ControlLayout> kLayout = kRows;

std::vector<const ControlLayout*> StackingOrder() {
  std::vector<const ControlLayout*> stack;
  for (const ControlLayout& control : kLayout) stack.push_back(&control);
  std::ranges::stable_sort(stack, {}, &ControlLayout::layer);
  return stack;
}

const ControlLayout* FindLayout(int id) {
  for (const ControlLayout& control : kLayout) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

const ControlLayout& LayoutOf(int id) {
  const ControlLayout* control = FindLayout(id);
  if (!control) throw std::out_of_range("no such control");
  return *control;
}

int TwipsToPixels(int twips, int dpi) {
  long long scaled = static_cast<long long>(twips) * dpi;
  long long half = scaled < 0 ? -720 : 720;
  return static_cast<int>((scaled + half) / 1440);
}

PixelRect PlaceOf(const ControlLayout& control, int dpi) {
  int left = control.left;
  int top = control.top;
  if (control.parent != 0) {
    const ControlLayout& frame = LayoutOf(control.parent);
    left += frame.left;
    top += frame.top;
  }
  return PixelRect{TwipsToPixels(left, dpi), TwipsToPixels(top, dpi),
                   TwipsToPixels(left + control.width, dpi),
                   TwipsToPixels(top + control.height, dpi)};
}

int CaptionRoom(const ControlLayout& control, int dpi) {
  PixelRect place = PlaceOf(control, dpi);
  int width = place.right - place.left;
  auto px = [dpi](int at96) { return (at96 * dpi + 48) / 96; };
  switch (control.kind) {
    case Kind::kOption:
      return width - px(13 + 4 + 1);  // the circle, the gap after it, a pixel to spare
    case Kind::kPushButton:
      return width - 2 * px(2 + 3);  // the edges and the focus rectangle's margin
    case Kind::kFrame:
      return width - 2 * px(8);  // the caption's indent, and as much on the right
    case Kind::kLabel:
      return width - 2 * px(2);
    default:
      return width;
  }
}

}  // namespace quorvane::config
