// Interim settings dialog: the window with its caption and size; the controls come with the
// dialog itself. Closing it ends the process without writing anything.
#include "config/config_window_win.h"

#include <windows.h>

#include "win/app_win.h"

namespace quorvane::config {
namespace {

constexpr wchar_t kClassName[] = L"QuorvaneConfig";
// The client area is 9375 x 4530 twips: 15 twips a pixel at 96 DPI.
constexpr int kClientWidthTwips = 9375;
constexpr int kClientHeightTwips = 4530;

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CLOSE) win::EndProcess();
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

void LoadConfigWindow() {
  HINSTANCE instance = win::AppInstance();
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);

  constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT rect{0, 0, MulDiv(kClientWidthTwips, 96, 1440), MulDiv(kClientHeightTwips, 96, 1440)};
  AdjustWindowRectEx(&rect, kStyle, FALSE, 0);
  HWND hwnd = CreateWindowExW(0, kClassName, L"Quorvane【設定】", kStyle, CW_USEDEFAULT,
                              CW_USEDEFAULT, rect.right - rect.left, rect.bottom - rect.top,
                              nullptr, nullptr, instance, nullptr);
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
}

}  // namespace quorvane::config
