// The settings dialog's input: each control's notification handed to its handler through one
// route table, the colours of the two coloured labels, the folder list drawn, the focus kept
// across activation, and the keyboard rules: Tab in the tab order of the layout, Enter on the
// focused push button or folder, no default and no cancel button.
#include "config/config_dialog_win.h"

#include <commctrl.h>

#include "config/control_ids.h"
#include "config/layout.h"
#include "config/tab_order.h"

namespace quorvane::config {

const ConfigWindow::Route ConfigWindow::kRoutes[] = {
    {kIdCmdOk, BN_CLICKED, [](ConfigWindow& d) { d.form_->cmdOk_Click(); }},
    {kIdCmdCancel, BN_CLICKED, [](ConfigWindow& d) { d.form_->cmdCancel_Click(); }},
    {kIdDrvSel, CBN_SELCHANGE, [](ConfigWindow& d) { d.form_->drvSel_Change(); }},
    {kIdDirSel, LBN_DBLCLK, [](ConfigWindow& d) { d.OpenFolder(); }},
    {kIdFilSel, LBN_DBLCLK, [](ConfigWindow& d) { d.form_->filSel_DblClick(); }},
    {kIdLstPlay, LBN_DBLCLK, [](ConfigWindow& d) { d.form_->lstPlay_DblClick(); }},
    {kIdCmdAdd, BN_CLICKED, [](ConfigWindow& d) { d.form_->cmdAdd_Click(); }},
    {kIdCmdDel, BN_CLICKED, [](ConfigWindow& d) { d.form_->cmdDel_Click(); }},
    {kIdCmdUp, BN_CLICKED, [](ConfigWindow& d) { d.form_->cmdUp_Click(); }},
    {kIdCmdDown, BN_CLICKED, [](ConfigWindow& d) { d.form_->cmdDown_Click(); }},
    {IDOK, BN_CLICKED, [](ConfigWindow& d) { d.OnEnter(); }},
};

win::Window::Result ConfigWindow::OnCommand(int id, int code) {
  if (!form_) return 0;
  for (const Route& route : kRoutes) {
    if (route.id == id && route.code == code) {
      route.handle(*this);
      break;
    }
  }
  return 0;
}

win::Window::Result ConfigWindow::OnCtlColorStatic(HDC dc, HWND control) {
  int id = GetDlgCtrlID(control);
  if (id == kIdLblPlayList) {
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    SetBkColor(dc, GetSysColor(COLOR_GRAYTEXT));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_GRAYTEXT));
  }
  if (id == kIdLblTitle) {
    SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
    SetBkColor(dc, RGB(255, 0, 0));
    return reinterpret_cast<LRESULT>(red_);
  }
  return {};
}

win::Window::Result ConfigWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlID != kIdDirSel || !dirSel_) return {};
  dirSel_->Draw(item, dpi_);
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
  if (focus == Item(kIdDirSel)) {
    OpenFolder();
    return;
  }
  const ControlLayout* control =
      IsChild(Handle(), focus) ? FindLayout(GetDlgCtrlID(focus)) : nullptr;
  if (control && control->kind == Kind::kPushButton) SendMessageW(focus, BM_CLICK, 0, 0);
}

void ConfigWindow::OpenFolder() {
  if (dirSel_->OpenSelected()) form_->dirSel_Change();
}

void ConfigWindow::MoveFocus(bool backwards) {
  HWND focus = GetFocus();
  int from = -1;
  for (size_t i = 0; i < kLayout.size(); ++i) {
    if (Item(kLayout[i].id) == focus) from = static_cast<int>(i);
  }
  // Disabled and hidden controls cannot take the focus, nor an option button that is not the
  // selected one of its array.
  int to = NextInTabOrder(from, backwards, [this](const ControlLayout& control) {
    HWND item = Item(control.id);
    if (!IsWindowEnabled(item) || !IsWindowVisible(item)) return false;
    return control.kind != Kind::kOption || SendMessageW(item, BM_GETCHECK, 0, 0) == BST_CHECKED;
  });
  if (to < 0) return;
  const ControlLayout& control = kLayout[static_cast<size_t>(to)];
  HWND item = Item(control.id);
  SetFocus(item);
  if (control.kind == Kind::kTextBox) SendMessageW(item, EM_SETSEL, 0, -1);
}

bool ConfigWindow::PreTranslate(MSG& msg) {
  if (msg.hwnd != Handle() && !IsChild(Handle(), msg.hwnd)) return false;
  bool mouse = msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST;
  if (mouse && (msg.hwnd == Item(kIdFilSel) || msg.hwnd == Item(kIdLstPlay))) {
    SendMessageW(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
  }
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB) {
    MoveFocus(GetKeyState(VK_SHIFT) < 0);
    return true;
  }
  return IsDialogMessageW(Handle(), &msg) != FALSE;
}

}  // namespace quorvane::config
