#include "config/layout.h"

#include <stdexcept>

#include "config/control_ids.h"

namespace quorvane::config {

// Captions are quoted exactly, full-width letters and ideographic spaces (U+3000) included. The
// title line is a caption like the others, not made from the version resource's number.
const std::array<ControlLayout, 28> kLayout = {{
    {kIdCmdOk, Kind::kPushButton, 0, "OK", 6960, 4080, 1095, 375},
    {kIdCmdCancel, Kind::kPushButton, 0, "Cancel", 8160, 4080, 1095, 375},
    {kIdFraSizeSel, Kind::kFrame, 0, "倍率設定", 6960, 120, 2295, 1935},
    {kIdOptSizeSel0, Kind::kOption, kIdFraSizeSel, "×　０．５", 120, 360, 1455, 255},
    {kIdOptSizeSel0 + 1, Kind::kOption, kIdFraSizeSel, "×　１．０", 120, 600, 1455, 255},
    {kIdOptSizeSel0 + 2, Kind::kOption, kIdFraSizeSel, "×　１．５", 120, 840, 1455, 255},
    {kIdOptSizeSel0 + 3, Kind::kOption, kIdFraSizeSel, "×　２．０", 120, 1080, 1455, 255},
    {kIdOptSizeSel0 + 4, Kind::kOption, kIdFraSizeSel, "×　　　　　　（フリー）", 120, 1320, 1935,
     255},
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
}};

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
