// The real settings dialog started from any Quorvane.scr (the locked program folder has no
// ProgramFolder object): opening it, pressing its buttons and reading its controls by id.
// Owned by one test at a time; every wait is bounded.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "support/support.h"

namespace quorvane::e2e {

class InstalledDialog {
 public:
  // Starts scr with "/c" in its own folder and waits for the dialog with its settings loaded.
  explicit InstalledDialog(const std::wstring& scr);

  bool Opened() const { return dialog_ != nullptr; }
  HWND Item(int id) const { return GetDlgItem(dialog_, id); }
  Process& Program() { return process_; }

  void Click(int id);
  void Select(int list_id, int index);
  std::vector<std::wstring> ListTexts(int list_id) const;
  bool Checked(int id) const;

 private:
  bool Settle() const;

  Process process_;
  HWND dialog_ = nullptr;
};

}  // namespace quorvane::e2e
