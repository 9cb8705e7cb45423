#include "support/dialog_driver.h"

#include <gtest/gtest.h>

namespace quorvane::e2e {

namespace {
constexpr DWORD kOpenWait = 20000;
constexpr UINT kSettleWait = 5000;
}  // namespace

DialogDriver::DialogDriver(const std::wstring& scr, const std::wstring& cwd)
    : process_(std::make_unique<Process>(scr, L"/c", cwd)) {
  dialog_ = process_->WaitForWindow(L"QuorvaneConfig", kDialogCaption, kOpenWait);
  EXPECT_NE(dialog_, nullptr) << "the dialog did not open";
  // The load handler runs before the dialog's thread takes its first message.
  if (dialog_) {
    EXPECT_TRUE(Settle());
  }
}

// A sent message is handled before the posted ones that came earlier, so one round trip can
// return before a posted key is handled: wait a moment, then make sure the thread is idle again.
bool DialogDriver::Settle() const {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(dialog_, WM_NULL, 0, 0, SMTO_NORMAL, kSettleWait, &result)) return false;
  Sleep(40);
  return SendMessageTimeoutW(dialog_, WM_NULL, 0, 0, SMTO_NORMAL, kSettleWait, &result) != 0;
}

HWND DialogDriver::Focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(dialog_, nullptr), &info);
  return info.hwndFocus;
}

void DialogDriver::Key(UINT virtual_key) {
  HWND focus = Focus();
  PostKey(focus ? focus : dialog_, virtual_key);
  Settle();
}

bool DialogDriver::TabTo(int id) {
  for (int i = 0; i < 28 && Focus() != Item(id); ++i) Key(VK_TAB);
  return Focus() == Item(id);
}

void DialogDriver::Click(int id) {
  PostMessageW(Item(id), BM_CLICK, 0, 0);
  Settle();
}

void DialogDriver::Select(int list_id, int index) {
  SendMessageW(Item(list_id), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DialogDriver::DoubleClick(int list_id, int index) {
  HWND list = Item(list_id);
  Select(list_id, index);
  auto top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
  auto height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  LPARAM at = MAKELPARAM(8, (index - top) * height + height / 2);
  PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  PostMessageW(list, WM_LBUTTONUP, 0, at);
  Settle();
}

std::vector<std::wstring> DialogDriver::ListTexts(int list_id) const {
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

int DialogDriver::ListIndex(int list_id) const {
  return static_cast<int>(SendMessageW(Item(list_id), LB_GETCURSEL, 0, 0));
}

bool DialogDriver::Checked(int id) const {
  return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

HWND DialogDriver::WaitForMessageBox(DWORD timeout_ms) const {
  HWND box = nullptr;
  WaitUntil(
      [&] {
        box = process_->FindWindow(L"#32770", L"Quorvane");
        return box != nullptr;
      },
      timeout_ms);
  return box;
}

std::vector<std::wstring> MessageTexts(HWND box) {
  std::vector<std::wstring> texts;
  for (HWND child : Children(box, L"Static")) {
    if (IsWindowVisible(child) && !TextOf(child).empty()) texts.push_back(TextOf(child));
  }
  return texts;
}

std::string Line(std::string_view key, std::wstring_view value) {
  return std::string(key) + Ansi(value) + "\r\n";
}

int FindText(const Texts& texts, std::wstring_view text) {
  for (size_t i = 0; i < texts.size(); ++i) {
    if (texts[i] == text) return static_cast<int>(i);
  }
  return -1;
}

LitBox LitBoxOf(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  std::vector<uint32_t> pixels = ScreenPixels(window);
  LitBox box;
  if (pixels.size() != static_cast<size_t>(client.right) * static_cast<size_t>(client.bottom)) {
    return box;
  }
  for (int y = 0; y < client.bottom; ++y) {
    for (int x = 0; x < client.right; ++x) {
      uint32_t pixel = pixels[static_cast<size_t>(y) * static_cast<size_t>(client.right) +
                              static_cast<size_t>(x)];
      if ((pixel & 0xFF) + ((pixel >> 8) & 0xFF) + ((pixel >> 16) & 0xFF) < 48) continue;
      if (box.left < 0 || x < box.left) box.left = x;
      if (x > box.right) box.right = x;
      if (box.top < 0) box.top = y;
      box.bottom = y;
    }
  }
  return box;
}

ScreenDpi::ScreenDpi(DWORD dpi) {
  RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS,
                  nullptr, &key_, nullptr);
  RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
}

ScreenDpi::~ScreenDpi() {
  RegDeleteValueW(key_, L"LogPixels");
  RegCloseKey(key_);
}

}  // namespace quorvane::e2e
