#include "config/control_create_win.h"

#include <commctrl.h>

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
    {Kind::kPushButton, WC_BUTTONW, BS_PUSHBUTTON, 0},
    {Kind::kOption, WC_BUTTONW, BS_AUTORADIOBUTTON, 0},
    {Kind::kTextBox, WC_EDITW, ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    {Kind::kLabel, WC_STATICW, SS_CENTER | SS_NOPREFIX, 0},
    {Kind::kDriveList, WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL, 0},
    // The classic directory list: owner-drawn with indents and folder marks.
    {Kind::kDirList, WC_LISTBOXW,
     LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL,
     WS_EX_CLIENTEDGE},
    {Kind::kFileList, WC_LISTBOXW, LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT | WS_VSCROLL,
     WS_EX_CLIENTEDGE},
    {Kind::kListBox, WC_LISTBOXW, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL, WS_EX_CLIENTEDGE},
};

// A drop-down list's window is its closed box and eight boxes more of list.
constexpr int kDroppedBoxes = 9;

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
  if (control.flags & kTabStop) style |= WS_TABSTOP;
  if (control.flags & kGroup) style |= WS_GROUP;
  if (control.flags & kDisabled) style |= WS_DISABLED;
  HWND created = CreateWindowExW(
      kind->ex_style, kind->window_class, win::Widen(control.caption).c_str(), style, place.left,
      place.top, place.right - place.left, WindowHeight(control, place), dialog,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), win::AppInstance(), nullptr);
  if (created && control.colour == ColourRole::kFrameCaption) PaintFrameCaptionInHighlight(created);
  if (created && (control.flags & kSelected)) SendMessageW(created, BM_SETCHECK, BST_CHECKED, 0);
  return created;
}

}  // namespace quorvane::config
