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
constexpr ControlLayout kRows[] = {
    {.id = kIdCmdOk,
     .kind = Kind::kPushButton,
     .caption = "OK",
     .place = {6960, 4080, 1095, 375},
     .handler = &FrmConfig::cmdOk_Click},
    {.id = kIdCmdCancel,
     .kind = Kind::kPushButton,
     .caption = "Cancel",
     .place = {8160, 4080, 1095, 375},
     .handler = &FrmConfig::cmdCancel_Click},
    {.id = kIdFraSizeSel,
     .kind = Kind::kFrame,
     .caption = "倍率設定",
     .place = {6960, 120, 2295, 1935}},
    {.id = kIdOptSizeSel0,
     .kind = Kind::kOption,
     .parent = kIdFraSizeSel,
     .caption = "×　０．５",
     .place = {120, 360, 1455, 255}},
    {.id = kIdOptSizeSel0 + 1,
     .kind = Kind::kOption,
     .parent = kIdFraSizeSel,
     .caption = "×　１．０",
     .place = {120, 600, 1455, 255},
     .flags = kSelected},
    {.id = kIdOptSizeSel0 + 2,
     .kind = Kind::kOption,
     .parent = kIdFraSizeSel,
     .caption = "×　１．５",
     .place = {120, 840, 1455, 255}},
    {.id = kIdOptSizeSel0 + 3,
     .kind = Kind::kOption,
     .parent = kIdFraSizeSel,
     .caption = "×　２．０",
     .place = {120, 1080, 1455, 255}},
    {.id = kIdOptSizeSel0 + 4,
     .kind = Kind::kOption,
     .parent = kIdFraSizeSel,
     .caption = "×　　　　　　（フリー）",
     .place = {120, 1320, 1935, 255}},
    {.id = kIdTxtSizeFree,
     .kind = Kind::kTextBox,
     .parent = kIdFraSizeSel,
     .place = {600, 1320, 615, 270},
     .layer = Layer::kOverlay},
    {.id = kIdOptSizeSel0 + 5,
     .kind = Kind::kOption,
     .parent = kIdFraSizeSel,
     .caption = "×　フルスクリーン",
     .place = {120, 1560, 1935, 255}},
    {.id = kIdFraFileSel,
     .kind = Kind::kFrame,
     .caption = "ファイル選択",
     .place = {120, 120, 6735, 4335}},
    {.id = kIdReaAudioPre,
     .kind = Kind::kPreview,
     .parent = kIdFraFileSel,
     .place = {4440, 240, 2175, 1935}},
    {.id = kIdLstPlay,
     .kind = Kind::kListBox,
     .parent = kIdFraFileSel,
     .place = {120, 2520, 6495, 1320},
     .tip = kPreviewTip,
     .handler = &FrmConfig::lstPlay_DblClick},
    {.id = kIdDrvSel,
     .kind = Kind::kDriveList,
     .parent = kIdFraFileSel,
     .place = {120, 240, 1935, 300},
     .handler = &FrmConfig::drvSel_Change},
    {.id = kIdDirSel,
     .kind = Kind::kDirList,
     .parent = kIdFraFileSel,
     .place = {120, 600, 1935, 1560},
     .handler = &FrmConfig::dirSel_Change},
    {.id = kIdFilSel,
     .kind = Kind::kFileList,
     .parent = kIdFraFileSel,
     .place = {2160, 240, 2175, 1530},
     .tip = kPreviewTip,
     .handler = &FrmConfig::filSel_DblClick},
    {.id = kIdCmdAdd,
     .kind = Kind::kPushButton,
     .parent = kIdFraFileSel,
     .caption = "Ｐｌａｙ　Ｌｉｓｔ　に追加",
     .place = {2160, 1800, 2175, 375},
     .handler = &FrmConfig::cmdAdd_Click},
    {.id = kIdCmdDel,
     .kind = Kind::kPushButton,
     .parent = kIdFraFileSel,
     .caption = "削除",
     .place = {4440, 3960, 615, 255},
     .handler = &FrmConfig::cmdDel_Click},
    {.id = kIdLblPlayList,
     .kind = Kind::kLabel,
     .parent = kIdFraFileSel,
     .caption = "Play List",
     .place = {120, 2280, 6495, 255},
     .font = FontRole::kHeading,
     .colour = ColourRole::kHeadingBar},
    {.id = kIdFraPosSel,
     .kind = Kind::kFrame,
     .caption = "表示位置",
     .place = {6960, 2160, 2295, 855}},
    {.id = kIdOptPosSel0,
     .kind = Kind::kOption,
     .parent = kIdFraPosSel,
     .caption = "画面中央",
     .place = {120, 360, 1095, 255},
     .flags = kSelected},
    {.id = kIdOptPosSel0 + 1,
     .kind = Kind::kOption,
     .parent = kIdFraPosSel,
     .caption = "ランダム",
     .place = {1200, 360, 975, 255}},
    {.id = kIdFraJyunSel,
     .kind = Kind::kFrame,
     .caption = "再生順序",
     .place = {6960, 3120, 2295, 855}},
    {.id = kIdOptJyunSel0,
     .kind = Kind::kOption,
     .parent = kIdFraJyunSel,
     .caption = "リスト順",
     .place = {120, 360, 975, 255},
     .flags = kSelected | kDisabled},
    {.id = kIdOptJyunSel0 + 1,
     .kind = Kind::kOption,
     .parent = kIdFraJyunSel,
     .caption = "ランダム",
     .place = {1200, 360, 975, 255},
     .flags = kDisabled},
    {.id = kIdCmdUp,
     .kind = Kind::kPushButton,
     .parent = kIdFraFileSel,
     .caption = "上へ",
     .place = {5160, 3960, 615, 255},
     .handler = &FrmConfig::cmdUp_Click},
    {.id = kIdCmdDown,
     .kind = Kind::kPushButton,
     .parent = kIdFraFileSel,
     .caption = "下へ",
     .place = {5880, 3960, 615, 255},
     .handler = &FrmConfig::cmdDown_Click},
    {.id = kIdLblTitle,
     .kind = Kind::kLabel,
     .parent = kIdFraFileSel,
     .caption = "Quorvane Ver 0.30   by Tobrenvale",
     .place = {120, 3960, 4095, 255},
     .font = FontRole::kTitle,
     .colour = ColourRole::kTitleBar},
};

constexpr const ControlLayout* RowOf(int id) {
  for (const ControlLayout& row : kRows) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

// Whether the row is an option button whose id before is one of the same array.
constexpr bool FollowsInItsArray(const ControlLayout& row) {
  const ControlLayout* before = RowOf(row.id - 1);
  return FactsOf(row.kind).array && before && before->kind == row.kind;
}

constexpr int CountOptions(int first) {
  const ControlLayout* row = RowOf(first);
  if (!row || !FactsOf(row->kind).array) return 0;
  int count = 1;
  while ((row = RowOf(first + count)) && FollowsInItsArray(*row)) ++count;
  return count;
}

// Every control has an id of its own, and none is the dialog manager's IDOK (1) or IDCANCEL (2).
// No row gives the keyboard flags: they follow from its kind and the arrays.
constexpr bool IdsAreUniqueAndFlagsDesignTimeState() {
  for (const ControlLayout& row : kRows) {
    if (row.id <= 2 || RowOf(row.id) != &row) return false;
    if (row.flags & (kTabStop | kGroup)) return false;
  }
  return true;
}

// Each option array has its buttons in one frame, and no other control takes an id of its run.
constexpr bool OptionArraysFitTheirRuns() {
  for (const ControlLayout& first : kRows) {
    if (!FactsOf(first.kind).array || FollowsInItsArray(first)) continue;
    int count = CountOptions(first.id);
    if (count > kOptionArrayRoom) return false;
    for (int id = first.id; id < first.id + kOptionArrayRoom; ++id) {
      const ControlLayout* row = RowOf(id);
      bool button = id < first.id + count;
      if (button ? row->parent != first.parent : row != nullptr) return false;
    }
  }
  return true;
}

static_assert(IdsAreUniqueAndFlagsDesignTimeState(), "two ids alike, or a row with keyboard flags");
static_assert(OptionArraysFitTheirRuns(), "an option array runs into another control's id");

}  // namespace

const std::span<const ControlLayout> kLayout = kRows;

Layer LayerOf(const ControlLayout& control) {
  return control.layer.value_or(FactsOf(control.kind).layer);
}

FontRole FontOf(const ControlLayout& control) {
  return control.font.value_or(FactsOf(control.kind).font);
}

ColourRole ColourOf(const ControlLayout& control) {
  return control.colour.value_or(FactsOf(control.kind).colour);
}

bool IsLaterButton(const ControlLayout& control) { return FollowsInItsArray(control); }

unsigned FlagsOf(const ControlLayout& control) {
  unsigned flags = control.flags;
  if (IsLaterButton(control)) return flags;
  flags |= kGroup;
  if (FactsOf(control.kind).takes_tab) flags |= kTabStop;
  return flags;
}

std::vector<const ControlLayout*> StackingOrder() {
  std::vector<const ControlLayout*> stack;
  for (const ControlLayout& control : kLayout) stack.push_back(&control);
  std::ranges::stable_sort(stack, {},
                           [](const ControlLayout* control) { return LayerOf(*control); });
  return stack;
}

const ControlLayout* FindLayout(int id) { return RowOf(id); }

const ControlLayout& LayoutOf(int id) {
  const ControlLayout* control = FindLayout(id);
  if (!control) throw std::out_of_range("no such control");
  return *control;
}

int OptionCount(int first) { return CountOptions(first); }

int TwipsToPixels(int twips, int dpi) {
  long long scaled = static_cast<long long>(twips) * dpi;
  long long half = scaled < 0 ? -720 : 720;
  return static_cast<int>((scaled + half) / 1440);
}

PixelRect PlaceOf(const ControlLayout& control, int dpi) {
  int left = control.place.left;
  int top = control.place.top;
  if (control.parent != 0) {
    const ControlLayout& frame = LayoutOf(control.parent);
    left += frame.place.left;
    top += frame.place.top;
  }
  return PixelRect{TwipsToPixels(left, dpi), TwipsToPixels(top, dpi),
                   TwipsToPixels(left + control.place.width, dpi),
                   TwipsToPixels(top + control.place.height, dpi)};
}

int CaptionRoom(const ControlLayout& control, int dpi) {
  PixelRect place = PlaceOf(control, dpi);
  const KindFacts& kind = FactsOf(control.kind);
  int margin = (kind.caption_margin * dpi + 48) / 96;
  return place.right - place.left - kind.caption_sides * margin;
}

}  // namespace quorvane::config
