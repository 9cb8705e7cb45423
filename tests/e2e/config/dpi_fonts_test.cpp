// The settings dialog in this very process, for what only its own thread can see: when the DPI
// changes, every control is handed its new font while the font it had is still alive (a control
// may paint at any moment in between; a deleted font would draw in the system's instead).
#include <windows.h>

#include <gtest/gtest.h>

#include "config/config_window_win.h"
#include "support/dialog_driver.h"

namespace quorvane::e2e {
namespace {

HWND dialog_window = nullptr;
int fonts_handed = 0;
int deleted_fonts_replaced = 0;

LRESULT CALLBACK WatchFonts(int code, WPARAM wparam, LPARAM lparam) {
  const auto* message = reinterpret_cast<const CWPSTRUCT*>(lparam);
  if (code == HC_ACTION && message->message == WM_SETFONT &&
      IsChild(dialog_window, message->hwnd)) {
    ++fonts_handed;
    auto current = reinterpret_cast<HFONT>(SendMessageW(message->hwnd, WM_GETFONT, 0, 0));
    if (current && GetObjectType(current) == 0) ++deleted_fonts_replaced;
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

TEST(DialogDpi, EveryControlKeepsALiveFontUntilItHasItsNewOne) {
  config::LoadConfigWindow();
  dialog_window = FindWindowW(nullptr, kDialogCaption);
  ASSERT_NE(dialog_window, nullptr);
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, WatchFonts, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  for (int dpi : {144, 120, 96}) {
    RECT suggested;
    GetWindowRect(dialog_window, &suggested);
    SendMessageW(dialog_window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
  }
  UnhookWindowsHookEx(hook);
  EXPECT_GT(fonts_handed, 20) << "the controls were not given their fonts";
  EXPECT_EQ(deleted_fonts_replaced, 0) << "controls held deleted fonts";
}

}  // namespace
}  // namespace quorvane::e2e
