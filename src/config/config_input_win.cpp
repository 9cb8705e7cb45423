// The settings dialog's input: each control's notification handed to the handler its row of the
// layout table names, the colours of the two coloured labels, the folder list drawn, the focus kept
// across activation, and the keyboard rules: Tab in the tab order of the layout, Enter on the
// focused push button or folder, no default and no cancel button.
#include "config/config_dialog_win.h"

#include <commctrl.h>

#include <algorithm>

#include "config/control_kinds_win.h"
#include "config/layout.h"
#include "config/tab_order.h"

namespace quorvane::config {
namespace {

// The text and background colours of a coloured label, and the brush that fills it.
struct LabelColours {
  COLORREF text, back;
  HBRUSH brush;
};

}  // namespace

win::Window::Result ConfigWindow::OnCommand(int id, int code) {
  if (!form_) return 0;
  // Enter, which the dialog manager reports as IDOK, there being no default button.
  if (id == IDOK && code == BN_CLICKED) {
    OnEnter();
    return 0;
  }
  const ControlLayout* control = FindLayout(id);
  if (control && control->handler && KindOf(*control).notification == code) Raise(*control);
  return 0;
}

void ConfigWindow::Raise(const ControlLayout& control) {
  auto raises = KindOf(control).raises;
  if (raises && !raises(controls_->Of<Control>(control.id))) return;
  (form_.get()->*control.handler)();
}

win::Window::Result ConfigWindow::OnCtlColorStatic(HDC dc, HWND control) {
  const ControlLayout* row = FindLayout(GetDlgCtrlID(control));
  if (!row) return {};
  LabelColours colours{};
  switch (ColourOf(*row)) {
    case ColourRole::kHeadingBar:
      colours = {GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_GRAYTEXT),
                 GetSysColorBrush(COLOR_GRAYTEXT)};
      break;
    case ColourRole::kTitleBar:
      colours = {GetSysColor(COLOR_CAPTIONTEXT), RGB(255, 0, 0), red_};
      break;
    case ColourRole::kDefault:
    case ColourRole::kFrameCaption:
      return {};
  }
  SetTextColor(dc, colours.text);
  SetBkColor(dc, colours.back);
  return reinterpret_cast<LRESULT>(colours.brush);
}

win::Window::Result ConfigWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
  const ControlLayout* control = FindLayout(static_cast<int>(item.CtlID));
  if (!control || !KindOf(*control).draw || !controls_) return {};
  KindOf(*control).draw(controls_->Of<Control>(control->id), item, dpi_);
  return TRUE;
}

win::Window::Result ConfigWindow::OnActivate(bool active) {
  if (!active) {
    focus_ = GetFocus();
    return {};
  }
  if (!focus_ || !IsChild(Handle(), focus_)) return {};
  SetFocus(focus_);
  return 0;
}

// Enter presses the push button that has the focus (so OK only while OK has it) and opens a
// folder of the directory list; elsewhere it does nothing.
void ConfigWindow::OnEnter() {
  HWND focus = GetFocus();
  const ControlLayout* control =
      IsChild(Handle(), focus) ? FindLayout(GetDlgCtrlID(focus)) : nullptr;
  if (!control) return;
  switch (KindOf(*control).enter) {
    case EnterKey::kPress:
      SendMessageW(focus, BM_CLICK, 0, 0);
      break;
    case EnterKey::kRaise:
      if (control->handler) Raise(*control);
      break;
    case EnterKey::kNothing:
      break;
  }
}

bool ConfigWindow::CanTakeFocus(const ControlLayout& control) const {
  HWND item = Item(control.id);
  if (!IsWindowEnabled(item) || !IsWindowVisible(item)) return false;
  return !FactsOf(control.kind).array || SendMessageW(item, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ConfigWindow::MoveFocus(bool backwards) {
  HWND focus = GetFocus();
  int from = -1;
  for (size_t i = 0; i < kLayout.size(); ++i) {
    if (Item(kLayout[i].id) == focus) from = static_cast<int>(i);
  }
  int to = NextInTabOrder(from, backwards,
                          [this](const ControlLayout& control) { return CanTakeFocus(control); });
  if (to < 0) return;
  const ControlLayout& control = kLayout[static_cast<size_t>(to)];
  HWND item = Item(control.id);
  SetFocus(item);
  if (KindOf(control).tab_selects_text) SendMessageW(item, EM_SETSEL, 0, -1);
}

bool ConfigWindow::PreTranslate(MSG& msg) {
  if (msg.hwnd != Handle() && !IsChild(Handle(), msg.hwnd)) return false;
  bool mouse = msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST;
  if (mouse && std::ranges::find(tipped_, msg.hwnd) != tipped_.end()) {
    SendMessageW(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
  }
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB) {
    MoveFocus(GetKeyState(VK_SHIFT) < 0);
    return true;
  }
  return IsDialogMessageW(Handle(), &msg) != FALSE;
}

}  // namespace quorvane::config
