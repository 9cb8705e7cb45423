// The control interfaces over real Win32 controls: a list box, an array of radio buttons and
// an edit box. Each wrapper only holds the handles; the controls belong to the dialog window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "config/controls.h"

namespace quorvane::config {

class ListBoxWin final : public ListBox {
 public:
  explicit ListBoxWin(HWND list) : list_(list) {}
  int ListCount() const override;
  int ListIndex() const override;
  void SetListIndex(int index) override;
  std::string List(int index) const override;
  void SetList(int index, const std::string& text) override;
  void AddItem(const std::string& text) override;
  void RemoveItem(int index) override;
  void Refresh() override;

 private:
  HWND list_;
};

class OptionArrayWin final : public OptionArray {
 public:
  // The dialog's option array whose first button has this id, with as many buttons as the
  // layout table has rows for it.
  OptionArrayWin(HWND dialog, int first);
  int Count() const override { return static_cast<int>(buttons_.size()); }
  int Selected() const override;
  void Select(int index) override;

 private:
  std::vector<HWND> buttons_;
};

class TextBoxWin final : public TextBox {
 public:
  explicit TextBoxWin(HWND edit) : edit_(edit) {}
  std::string Text() const override;
  void SetText(const std::string& text) override;

 private:
  HWND edit_;
};

// A list box entry's text as UTF-8.
std::string ListBoxText(HWND list, int index);

}  // namespace quorvane::config
