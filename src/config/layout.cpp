#include "config/layout_win.h"

#include <stdexcept>

#include "config/control_ids_win.h"

namespace quorvane::config {

// Captions are quoted exactly, full-width letters and ideographic spaces (U+3000) included.
const std::array<ControlLayout, 28> kLayout = {{
    {kIdCmdOk, "cmdOk", Kind::kPushButton, 0, L"OK", 6960, 4080, 1095, 375, 0},
    {kIdCmdCancel, "cmdCancel", Kind::kPushButton, 0, L"Cancel", 8160, 4080, 1095, 375, 1},
    {kIdFraSizeSel, "fraSizeSel", Kind::kFrame, 0, L"倍率設定", 6960, 120, 2295, 1935, 2},
    {kIdOptSizeSel0, "optSizeSel(0)", Kind::kOption, kIdFraSizeSel, L"×　０．５", 120, 360, 1455,
     255, 3},
    {kIdOptSizeSel0 + 1, "optSizeSel(1)", Kind::kOption, kIdFraSizeSel, L"×　１．０", 120, 600,
     1455, 255, 4},
    {kIdOptSizeSel0 + 2, "optSizeSel(2)", Kind::kOption, kIdFraSizeSel, L"×　１．５", 120, 840,
     1455, 255, 5},
    {kIdOptSizeSel0 + 3, "optSizeSel(3)", Kind::kOption, kIdFraSizeSel, L"×　２．０", 120, 1080,
     1455, 255, 6},
    {kIdOptSizeSel0 + 4, "optSizeSel(4)", Kind::kOption, kIdFraSizeSel, L"×　　　　　　（フリー）",
     120, 1320, 1935, 255, 7},
    {kIdTxtSizeFree, "txtSizeFree", Kind::kTextBox, kIdFraSizeSel, L"", 600, 1320, 615, 270, 8},
    {kIdOptSizeSel0 + 5, "optSizeSel(5)", Kind::kOption, kIdFraSizeSel, L"×　フルスクリーン", 120,
     1560, 1935, 255, 9},
    {kIdFraFileSel, "fraFileSel", Kind::kFrame, 0, L"ファイル選択", 120, 120, 6735, 4335, 10},
    {kIdReaAudioPre, "reaAudioPre", Kind::kPreview, kIdFraFileSel, L"", 4440, 240, 2175, 1935, 11},
    {kIdLstPlay, "lstPlay", Kind::kListBox, kIdFraFileSel, L"", 120, 2520, 6495, 1320, 12},
    {kIdDrvSel, "drvSel", Kind::kDriveList, kIdFraFileSel, L"", 120, 240, 1935, 300, 13},
    {kIdDirSel, "dirSel", Kind::kDirList, kIdFraFileSel, L"", 120, 600, 1935, 1560, 14},
    {kIdFilSel, "filSel", Kind::kFileList, kIdFraFileSel, L"", 2160, 240, 2175, 1530, 15},
    {kIdCmdAdd, "cmdAdd", Kind::kPushButton, kIdFraFileSel, L"Ｐｌａｙ　Ｌｉｓｔ　に追加", 2160,
     1800, 2175, 375, 16},
    {kIdCmdDel, "cmdDel", Kind::kPushButton, kIdFraFileSel, L"削除", 4440, 3960, 615, 255, 17},
    {kIdLblPlayList, "lblPlayList", Kind::kLabel, kIdFraFileSel, L"Play List", 120, 2280, 6495, 255,
     18},
    {kIdFraPosSel, "fraPosSel", Kind::kFrame, 0, L"表示位置", 6960, 2160, 2295, 855, 19},
    {kIdOptPosSel0, "optPosSel(0)", Kind::kOption, kIdFraPosSel, L"画面中央", 120, 360, 1095, 255,
     20},
    {kIdOptPosSel0 + 1, "optPosSel(1)", Kind::kOption, kIdFraPosSel, L"ランダム", 1200, 360, 975,
     255, 21},
    {kIdFraJyunSel, "fraJyunSel", Kind::kFrame, 0, L"再生順序", 6960, 3120, 2295, 855, 22},
    {kIdOptJyunSel0, "optJyunSel(0)", Kind::kOption, kIdFraJyunSel, L"リスト順", 120, 360, 975, 255,
     23},
    {kIdOptJyunSel0 + 1, "optJyunSel(1)", Kind::kOption, kIdFraJyunSel, L"ランダム", 1200, 360, 975,
     255, 24},
    {kIdCmdUp, "cmdUp", Kind::kPushButton, kIdFraFileSel, L"上へ", 5160, 3960, 615, 255, 25},
    {kIdCmdDown, "cmdDown", Kind::kPushButton, kIdFraFileSel, L"下へ", 5880, 3960, 615, 255, 26},
    {kIdLblTitle, "lblTitle", Kind::kLabel, kIdFraFileSel, L"Quorvane Ver 0.30   by Tobrenvale",
     120, 3960, 4095, 255, 27},
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

int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

RECT PlaceOf(const ControlLayout& control, int dpi) {
  int left = control.left;
  int top = control.top;
  if (control.parent != 0) {
    const ControlLayout& frame = LayoutOf(control.parent);
    left += frame.left;
    top += frame.top;
  }
  return RECT{TwipsToPixels(left, dpi), TwipsToPixels(top, dpi),
              TwipsToPixels(left + control.width, dpi), TwipsToPixels(top + control.height, dpi)};
}

}  // namespace quorvane::config
