#include "config/controls_win.h"

#include "config/layout.h"
#include "win/text_win.h"

namespace quorvane::config {

std::string ListBoxText(HWND list, int index) {
  LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) return "";
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  LRESULT got = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(text.data()));
  text.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
  return win::Narrow(text);
}

int ListBoxWin::ListCount() const {
  return static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0));
}

int ListBoxWin::ListIndex() const {
  return static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
}

void ListBoxWin::SetListIndex(int index) {
  SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::string ListBoxWin::List(int index) const { return ListBoxText(list_, index); }

void ListBoxWin::SetList(int index, const std::string& text) {
  // A list box cannot change an entry's text: put a new entry in its place, selection kept.
  int selected = ListIndex();
  std::wstring wide = win::Widen(text);
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
  SendMessageW(list_, LB_INSERTSTRING, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(wide.c_str()));
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  SetListIndex(selected);
  InvalidateRect(list_, nullptr, TRUE);
}

void ListBoxWin::AddItem(const std::string& text) {
  std::wstring wide = win::Widen(text);
  SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void ListBoxWin::RemoveItem(int index) {
  SendMessageW(list_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void ListBoxWin::Refresh() {
  RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

OptionArrayWin::OptionArrayWin(HWND dialog, int first) {
  for (int i = 0; i < OptionCount(first); ++i) buttons_.push_back(GetDlgItem(dialog, first + i));
}

int OptionArrayWin::Selected() const {
  for (size_t i = 0; i < buttons_.size(); ++i) {
    if (SendMessageW(buttons_[i], BM_GETCHECK, 0, 0) == BST_CHECKED) return static_cast<int>(i);
  }
  return 0;
}

void OptionArrayWin::Select(int index) {
  for (size_t i = 0; i < buttons_.size(); ++i) {
    WPARAM state = static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED;
    SendMessageW(buttons_[i], BM_SETCHECK, state, 0);
  }
}

std::string TextBoxWin::Text() const { return win::Narrow(win::WindowText(edit_)); }

void TextBoxWin::SetText(const std::string& text) {
  SetWindowTextW(edit_, win::Widen(text).c_str());
}

}  // namespace quorvane::config
