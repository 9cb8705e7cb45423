#include "config/control_create_win.h"

#include <commctrl.h>

#include "config/control_ids.h"
#include "config/frame_win.h"
#include "win/app_win.h"
#include "win/text_win.h"

namespace quorvane::config {
namespace {

struct KindStyle {
  Kind kind;
  const wchar_t* window_class;
  DWORD style;
  DWORD ex_style;
};

constexpr KindStyle kKinds[] = {
    {Kind::kFrame, WC_BUTTONW, BS_GROUPBOX, 0},
    {Kind::kPushButton, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {Kind::kOption, WC_BUTTONW, BS_AUTORADIOBUTTON, 0},
    {Kind::kTextBox, WC_EDITW, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE},
    {Kind::kLabel, WC_STATICW, SS_CENTER | SS_NOPREFIX, 0},
    {Kind::kDriveList, WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0},
    // The classic directory list: owner-drawn with indents and folder marks.
    {Kind::kDirList, WC_LISTBOXW,
     LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL |
         WS_TABSTOP,
     WS_EX_CLIENTEDGE},
    {Kind::kFileList, WC_LISTBOXW,
     LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE},
    {Kind::kListBox, WC_LISTBOXW, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
     WS_EX_CLIENTEDGE},
};

// A drop-down list's window is its closed box and eight boxes more of list.
constexpr int kDroppedBoxes = 9;

bool IsFirstOption(int id) {
  return id == kIdOptSizeSel0 || id == kIdOptPosSel0 || id == kIdOptJyunSel0;
}

bool IsPlayOrder(int id) { return id == kIdOptJyunSel0 || id == kIdOptJyunSel0 + 1; }

}  // namespace

int WindowHeight(const ControlLayout& control, const PixelRect& place) {
  int height = place.bottom - place.top;
  return control.kind == Kind::kDriveList ? height * kDroppedBoxes : height;
}

HWND CreateControl(HWND dialog, const ControlLayout& control, const PixelRect& place) {
  const KindStyle* kind = nullptr;
  for (const KindStyle& k : kKinds) {
    if (k.kind == control.kind) kind = &k;
  }
  if (!kind) return nullptr;
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind->style;
  // Every control but the later buttons of an option array starts a group of its own, so that
  // the arrow keys move only within an option array; an array takes the Tab key at its first
  // button, and the play order not at all (it is disabled).
  if (control.kind != Kind::kOption || IsFirstOption(control.id)) style |= WS_GROUP;
  if (control.kind == Kind::kOption && IsFirstOption(control.id)) style |= WS_TABSTOP;
  if (IsPlayOrder(control.id)) style |= WS_DISABLED;
  HWND created = CreateWindowExW(
      kind->ex_style, kind->window_class, win::Widen(control.caption).c_str(), style, place.left,
      place.top, place.right - place.left, WindowHeight(control, place), dialog,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), win::AppInstance(), nullptr);
  if (created && control.kind == Kind::kFrame) PaintFrameCaptionInHighlight(created);
  return created;
}

}  // namespace quorvane::config
