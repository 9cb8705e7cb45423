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
// Every control but the later buttons of an option array starts a group, so that the arrow keys
// move only within an array; an array takes the Tab key at its first button. The preview is the
// playback component's own window: only its place and stacking come from here.
constexpr ControlLayout kRows[] = {
    {.id = kIdCmdOk,
     .kind = Kind::kPushButton,
     .caption = "OK",
     .place = {6960, 4080, 1095, 375},
     .flags = kTabStop | kGroup,
     .event = Event::kClick,
     .handler = &FrmConfig::cmdOk_Click},
    {.id = kIdCmdCancel,
     .kind = Kind::kPushButton,
     .caption = "Cancel",
     .place = {8160, 4080, 1095, 375},
     .flags = kTabStop | kGroup,
     .event = Event::kClick,
     .handler = &FrmConfig::cmdCancel_Click},
    {.id = kIdFraSizeSel,
     .kind = Kind::kFrame,
     .caption = "倍率設定",
     .place = {6960, 120, 2295, 1935},
     .layer = Layer::kFrame,
     .flags = kGroup,
     .font = FontRole::kFrame,
     .colour = ColourRole::kFrameCaption},
    {.id = kIdOptSizeSel0,
     .kind = Kind::kOption,
     .parent = kIdFraSizeSel,
     .caption = "×　０．５",
     .place = {120, 360, 1455, 255},
     .flags = kTabStop | kGroup},
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
     .layer = Layer::kOverlay,
     .flags = kTabStop | kGroup},
    {.id = kIdOptSizeSel0 + 5,
     .kind = Kind::kOption,
     .parent = kIdFraSizeSel,
     .caption = "×　フルスクリーン",
     .place = {120, 1560, 1935, 255}},
    {.id = kIdFraFileSel,
     .kind = Kind::kFrame,
     .caption = "ファイル選択",
     .place = {120, 120, 6735, 4335},
     .layer = Layer::kFrame,
     .flags = kGroup,
     .font = FontRole::kFrame,
     .colour = ColourRole::kFrameCaption},
    {.id = kIdReaAudioPre,
     .kind = Kind::kPreview,
     .parent = kIdFraFileSel,
     .place = {4440, 240, 2175, 1935},
     .layer = Layer::kPreview,
     .font = FontRole::kNone},
    {.id = kIdLstPlay,
     .kind = Kind::kListBox,
     .parent = kIdFraFileSel,
     .place = {120, 2520, 6495, 1320},
     .flags = kTabStop | kGroup,
     .tip = kPreviewTip,
     .event = Event::kDblClick,
     .handler = &FrmConfig::lstPlay_DblClick},
    {.id = kIdDrvSel,
     .kind = Kind::kDriveList,
     .parent = kIdFraFileSel,
     .place = {120, 240, 1935, 300},
     .flags = kTabStop | kGroup,
     .event = Event::kChange,
     .handler = &FrmConfig::drvSel_Change},
    {.id = kIdDirSel,
     .kind = Kind::kDirList,
     .parent = kIdFraFileSel,
     .place = {120, 600, 1935, 1560},
     .flags = kTabStop | kGroup,
     .event = Event::kChange,
     .handler = &FrmConfig::dirSel_Change},
    {.id = kIdFilSel,
     .kind = Kind::kFileList,
     .parent = kIdFraFileSel,
     .place = {2160, 240, 2175, 1530},
     .flags = kTabStop | kGroup,
     .tip = kPreviewTip,
     .event = Event::kDblClick,
     .handler = &FrmConfig::filSel_DblClick},
    {.id = kIdCmdAdd,
     .kind = Kind::kPushButton,
     .parent = kIdFraFileSel,
     .caption = "Ｐｌａｙ　Ｌｉｓｔ　に追加",
     .place = {2160, 1800, 2175, 375},
     .flags = kTabStop | kGroup,
     .event = Event::kClick,
     .handler = &FrmConfig::cmdAdd_Click},
    {.id = kIdCmdDel,
     .kind = Kind::kPushButton,
     .parent = kIdFraFileSel,
     .caption = "削除",
     .place = {4440, 3960, 615, 255},
     .flags = kTabStop | kGroup,
     .event = Event::kClick,
     .handler = &FrmConfig::cmdDel_Click},
    {.id = kIdLblPlayList,
     .kind = Kind::kLabel,
     .parent = kIdFraFileSel,
     .caption = "Play List",
     .place = {120, 2280, 6495, 255},
     .layer = Layer::kLabel,
     .flags = kGroup,
     .font = FontRole::kHeading,
     .colour = ColourRole::kHeadingBar},
    {.id = kIdFraPosSel,
     .kind = Kind::kFrame,
     .caption = "表示位置",
     .place = {6960, 2160, 2295, 855},
     .layer = Layer::kFrame,
     .flags = kGroup,
     .font = FontRole::kFrame,
     .colour = ColourRole::kFrameCaption},
    {.id = kIdOptPosSel0,
     .kind = Kind::kOption,
     .parent = kIdFraPosSel,
     .caption = "画面中央",
     .place = {120, 360, 1095, 255},
     .flags = kTabStop | kGroup | kSelected},
    {.id = kIdOptPosSel0 + 1,
     .kind = Kind::kOption,
     .parent = kIdFraPosSel,
     .caption = "ランダム",
     .place = {1200, 360, 975, 255}},
    {.id = kIdFraJyunSel,
     .kind = Kind::kFrame,
     .caption = "再生順序",
     .place = {6960, 3120, 2295, 855},
     .layer = Layer::kFrame,
     .flags = kGroup,
     .font = FontRole::kFrame,
     .colour = ColourRole::kFrameCaption},
    {.id = kIdOptJyunSel0,
     .kind = Kind::kOption,
     .parent = kIdFraJyunSel,
     .caption = "リスト順",
     .place = {120, 360, 975, 255},
     .flags = kTabStop | kGroup | kSelected | kDisabled},
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
     .flags = kTabStop | kGroup,
     .event = Event::kClick,
     .handler = &FrmConfig::cmdUp_Click},
    {.id = kIdCmdDown,
     .kind = Kind::kPushButton,
     .parent = kIdFraFileSel,
     .caption = "下へ",
     .place = {5880, 3960, 615, 255},
     .flags = kTabStop | kGroup,
     .event = Event::kClick,
     .handler = &FrmConfig::cmdDown_Click},
    {.id = kIdLblTitle,
     .kind = Kind::kLabel,
     .parent = kIdFraFileSel,
     .caption = "Quorvane Ver 0.30   by Tobrenvale",
     .place = {120, 3960, 4095, 255},
     .layer = Layer::kLabel,
     .flags = kGroup,
     .font = FontRole::kTitle,
     .colour = ColourRole::kTitleBar},
};

constexpr const ControlLayout* RowOf(int id) {
  for (const ControlLayout& row : kRows) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

constexpr int CountOptions(int first) {
  int count = 0;
  while (const ControlLayout* row = RowOf(first + count)) {
    if (row->kind != Kind::kOption) break;
    ++count;
  }
  return count;
}

// Every control has an id of its own, and none is the dialog manager's IDOK (1) or IDCANCEL (2).
constexpr bool IdsAreUnique() {
  for (const ControlLayout& row : kRows) {
    if (row.id <= 2 || RowOf(row.id) != &row) return false;
  }
  return true;
}

// Each option array (its first button is one whose id before is no option) has its buttons in
// one frame, and no other control takes an id of its run.
constexpr bool OptionArraysFitTheirRuns() {
  for (const ControlLayout& first : kRows) {
    const ControlLayout* before = RowOf(first.id - 1);
    if (first.kind != Kind::kOption || (before && before->kind == Kind::kOption)) continue;
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

static_assert(IdsAreUnique(), "two controls share an id");
static_assert(OptionArraysFitTheirRuns(), "an option array runs into another control's id");

}  // namespace

const std::span<const ControlLayout> kLayout = kRows;

std::vector<const ControlLayout*> StackingOrder() {
  std::vector<const ControlLayout*> stack;
  for (const ControlLayout& control : kLayout) stack.push_back(&control);
  std::ranges::stable_sort(stack, {}, &ControlLayout::layer);
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
