#include "config/control_kinds_win.h"

#include <commctrl.h>

#include "config/browser_win.h"
#include "config/controls_win.h"
#include "config/frame_win.h"
#include "win/app_win.h"
#include "win/text_win.h"

namespace quorvane::config {
namespace {

// The closed box is as high as the layout says: the selection field's height is adjusted.
void FitDropDown(HWND combo, HFONT, const PixelRect& place, int) {
  RECT closed;
  GetWindowRect(combo, &closed);
  LRESULT field = SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  LRESULT wanted = field + (place.bottom - place.top) - (closed.bottom - closed.top);
  SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), wanted);
}

// An owner-drawn list's entries are as high as its font's lines, and two pixels (at 96 DPI).
void FitEntriesToFont(HWND list, HFONT font, const PixelRect&, int dpi) {
  TEXTMETRICW metrics;
  HDC dc = GetDC(list);
  HGDIOBJ old = SelectObject(dc, font);
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  SendMessageW(list, LB_SETITEMHEIGHT, 0, metrics.tmHeight + MulDiv(2, dpi, 96));
}

// The wrapper of a control of one window.
template <typename Wrapper>
std::unique_ptr<Control> Wrap(HWND dialog, int id) {
  return std::make_unique<Wrapper>(GetDlgItem(dialog, id));
}

std::unique_ptr<Control> WrapArray(HWND dialog, int first) {
  return std::make_unique<OptionArrayWin>(dialog, first);
}

// A double click in the directory list, or Enter, changes it only when it opens a folder.
bool OpensAFolder(Control& folders) { return static_cast<DirListWin&>(folders).OpenSelected(); }

void DrawFolder(const Control& folders, const DRAWITEMSTRUCT& item, int dpi) {
  static_cast<const DirListWin&>(folders).Draw(item, dpi);
}

// In the order of Kind.
constexpr KindWin kKinds[] = {
    {.kind = Kind::kFrame, .window_class = WC_BUTTONW, .style = BS_GROUPBOX},
    {.kind = Kind::kPushButton,
     .window_class = WC_BUTTONW,
     .style = BS_PUSHBUTTON,
     .notification = BN_CLICKED,
     .enter = EnterKey::kPress},
    {.kind = Kind::kOption,
     .window_class = WC_BUTTONW,
     .style = BS_AUTORADIOBUTTON,
     .state = WrapArray},
    {.kind = Kind::kTextBox,
     .window_class = WC_EDITW,
     .style = ES_AUTOHSCROLL,
     .ex_style = WS_EX_CLIENTEDGE,
     .tab_selects_text = true,
     .state = Wrap<TextBoxWin>},
    {.kind = Kind::kLabel, .window_class = WC_STATICW, .style = SS_CENTER | SS_NOPREFIX},
    // A drop-down list's window is its closed box and eight boxes more of list.
    {.kind = Kind::kDriveList,
     .window_class = WC_COMBOBOXW,
     .style = CBS_DROPDOWNLIST | WS_VSCROLL,
     .notification = CBN_SELCHANGE,
     .window_heights = 9,
     .fit = FitDropDown,
     .state = Wrap<DriveListWin>},
    // The classic directory list: owner-drawn with indents and folder marks; a folder is opened
    // by a double click or Enter.
    {.kind = Kind::kDirList,
     .window_class = WC_LISTBOXW,
     .style = LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL,
     .ex_style = WS_EX_CLIENTEDGE,
     .notification = LBN_DBLCLK,
     .enter = EnterKey::kRaise,
     .fit = FitEntriesToFont,
     .state = Wrap<DirListWin>,
     .raises = OpensAFolder,
     .draw = DrawFolder},
    {.kind = Kind::kFileList,
     .window_class = WC_LISTBOXW,
     .style = LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT | WS_VSCROLL,
     .ex_style = WS_EX_CLIENTEDGE,
     .notification = LBN_DBLCLK,
     .state = Wrap<FileListWin>},
    {.kind = Kind::kListBox,
     .window_class = WC_LISTBOXW,
     .style = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL,
     .ex_style = WS_EX_CLIENTEDGE,
     .notification = LBN_DBLCLK,
     .state = Wrap<ListBoxWin>},
    {.kind = Kind::kPreview, .window_class = nullptr},
};

// A kind that reports an event has the notification by which it does, and no other has one.
constexpr bool NotifiesItsEvent() {
  for (const KindWin& kind : kKinds) {
    bool reports = FactsOf(kind.kind).event != Event::kNone;
    if ((kind.notification != kNoNotification) != reports) return false;
  }
  return true;
}
static_assert(InTheOrderOfKind(kKinds), "a kind without its row, or out of order");
static_assert(NotifiesItsEvent(), "a kind's event without its notification");

}  // namespace

const KindWin& KindOf(const ControlLayout& control) {
  return kKinds[static_cast<size_t>(control.kind)];
}

int WindowHeight(const ControlLayout& control, const PixelRect& place) {
  return (place.bottom - place.top) * KindOf(control).window_heights;
}

std::unique_ptr<Control> StateOf(HWND dialog, const ControlLayout& control) {
  auto state = KindOf(control).state;
  return state ? state(dialog, control.id) : nullptr;
}

HWND CreateControl(HWND dialog, const ControlLayout& control, const PixelRect& place) {
  const KindWin& kind = KindOf(control);
  if (!kind.window_class) return nullptr;
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style;
  unsigned flags = FlagsOf(control);
  if (flags & kTabStop) style |= WS_TABSTOP;
  if (flags & kGroup) style |= WS_GROUP;
  if (flags & kDisabled) style |= WS_DISABLED;
  HWND created = CreateWindowExW(
      kind.ex_style, kind.window_class, win::Widen(control.caption).c_str(), style, place.left,
      place.top, place.right - place.left, WindowHeight(control, place), dialog,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), win::AppInstance(), nullptr);
  if (created && ColourOf(control) == ColourRole::kFrameCaption) {
    PaintFrameCaptionInHighlight(created);
  }
  if (created && (flags & kSelected)) SendMessageW(created, BM_SETCHECK, BST_CHECKED, 0);
  return created;
}

}  // namespace quorvane::config
