// The settings dialog in this very process, for what only its own thread can see: the fonts its
// frames and labels are given, the tool tips of its two lists, and, when the DPI changes, every
// control handed its new font while the font it had is still alive (a control may paint at any
// moment in between; a deleted font would draw in the system's instead).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "config/config_window_win.h"
#include "config/control_ids.h"
#include "config/layout.h"
#include "support/dialog_driver.h"

namespace quorvane::e2e {
namespace {

using namespace quorvane::config;

// The dialog of this process, loaded by the first test that asks for it.
HWND InProcessDialog() {
  HWND dialog = FindWindowW(nullptr, kDialogCaption);
  if (!dialog) {
    LoadConfigWindow();
    dialog = FindWindowW(nullptr, kDialogCaption);
  }
  return dialog;
}

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
  dialog_window = InProcessDialog();
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

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FaceInstalled(const wchar_t* face, BYTE charset) {
  LOGFONTW wanted{};
  wanted.lfCharSet = charset;
  wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

// How wide a control's caption is in this font at this height (pixels).
int CaptionWidth(HWND control, LOGFONTW font, int height) {
  font.lfHeight = -height;
  HFONT made = CreateFontIndirectW(&font);
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, made);
  std::wstring caption = TextOf(control);
  SIZE extent{};
  GetTextExtentPoint32W(screen, caption.c_str(), static_cast<int>(caption.size()), &extent);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  DeleteObject(made);
  return extent.cx;
}

// The design's fonts, at 96 DPI (this program is not DPI aware): face, size, bold and character
// set. The font fit may make the frames', the heading's and the title's fonts smaller, but only
// when the face found does not show their captions whole at the design's size (as the title's
// stand-in does under Wine, where Century Gothic is missing).
TEST(DialogFonts, FramesAndLabelsHaveTheirFaceSizeBoldAndCharacterSet) {
  HWND dialog = InProcessDialog();
  ASSERT_NE(dialog, nullptr);
  struct Case {
    std::vector<int> ids;  // the controls that share the font
    const wchar_t* face;
    int height;  // pixels: 9 pt is 12, 11.25 pt is 15
    BYTE charset;
  } cases[] = {
      {{kIdFraFileSel, kIdFraSizeSel, kIdFraPosSel, kIdFraJyunSel},
       L"ＭＳ Ｐゴシック",
       12,
       SHIFTJIS_CHARSET},
      {{kIdLblPlayList}, L"ＭＳ Ｐゴシック", 15, SHIFTJIS_CHARSET},
      {{kIdLblTitle}, L"Century Gothic", 15, ANSI_CHARSET},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ids[0]);
    LOGFONTW font{};
    auto handle =
        reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(dialog, c.ids[0]), WM_GETFONT, 0, 0));
    ASSERT_EQ(GetObjectW(handle, sizeof font, &font), static_cast<int>(sizeof font));
    for (int id : c.ids) {
      EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(dialog, id), WM_GETFONT, 0, 0)),
                handle);
    }
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_EQ(font.lfCharSet, c.charset);
    if (FaceInstalled(c.face, c.charset)) {
      EXPECT_STREQ(font.lfFaceName, c.face);
      EXPECT_EQ(font.lfHeight, -c.height);
      continue;
    }
    // A stand-in, which the system must have: the font mapper's pick would be anyone's guess.
    EXPECT_TRUE(
        FaceInstalled(font.lfFaceName, c.charset == ANSI_CHARSET ? DEFAULT_CHARSET : c.charset))
        << Narrow(font.lfFaceName);
    ASSERT_LT(font.lfHeight, 0);
    EXPECT_LE(-font.lfHeight, c.height);
    std::printf("%s is not installed; the stand-in is %s at %d pixels\n", Narrow(c.face).c_str(),
                Narrow(font.lfFaceName).c_str(), static_cast<int>(-font.lfHeight));
    if (-font.lfHeight == c.height) continue;
    bool one_too_wide = false;
    for (int id : c.ids) {
      HWND control = GetDlgItem(dialog, id);
      one_too_wide =
          one_too_wide || CaptionWidth(control, font, c.height) > CaptionRoom(LayoutOf(id), 96);
    }
    EXPECT_TRUE(one_too_wide) << "made smaller though every caption fits at the design's size";
  }
}

TEST(DialogTooltips, BothListsSayADoubleClickPreviews) {
  HWND dialog = InProcessDialog();
  ASSERT_NE(dialog, nullptr);
  HWND tip = nullptr;
  for (HWND w = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); w && !tip;
       w = FindWindowExW(nullptr, w, TOOLTIPS_CLASSW, nullptr)) {
    if (GetWindow(w, GW_OWNER) == dialog) tip = w;
  }
  ASSERT_NE(tip, nullptr) << "the dialog has no tool tips";
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 2) << "tips on other controls";
  for (int id : {kIdFilSel, kIdLstPlay}) {
    SCOPED_TRACE(id);
    wchar_t text[128] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, id));
    tool.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, L"ファイルＩＤをダブルクリックでプレビュー");
  }
}

}  // namespace
}  // namespace quorvane::e2e
