#include "installed_dialog.h"

#include <gtest/gtest.h>

namespace quorvane::e2e {

namespace {
constexpr wchar_t kCaption[] = L"Quorvane【設定】";
constexpr DWORD kOpenWait = 20000;
constexpr UINT kSettleWait = 5000;
}  // namespace

InstalledDialog::InstalledDialog(const std::wstring& scr) : process_(scr, L"/c") {
  dialog_ = process_.WaitForWindow(L"QuorvaneConfig", kCaption, kOpenWait);
  EXPECT_NE(dialog_, nullptr) << "the dialog did not open";
  if (dialog_) {
    EXPECT_TRUE(Settle());
  }
}

// Two round trips with a pause between: a posted click is handled before the second returns.
bool InstalledDialog::Settle() const {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(dialog_, WM_NULL, 0, 0, SMTO_NORMAL, kSettleWait, &result)) return false;
  Sleep(40);
  return SendMessageTimeoutW(dialog_, WM_NULL, 0, 0, SMTO_NORMAL, kSettleWait, &result) != 0;
}

void InstalledDialog::Click(int id) {
  PostMessageW(Item(id), BM_CLICK, 0, 0);
  Settle();
}

void InstalledDialog::Select(int list_id, int index) {
  SendMessageW(Item(list_id), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::vector<std::wstring> InstalledDialog::ListTexts(int list_id) const {
  HWND list = Item(list_id);
  std::vector<std::wstring> texts;
  auto count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::wstring text(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
    texts.push_back(text);
  }
  return texts;
}

bool InstalledDialog::Checked(int id) const {
  return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace quorvane::e2e
