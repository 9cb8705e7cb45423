// Interim saver window: black, borderless, covering the screen, ending on input. The playlist
// loop and the playback component come with the saver itself.
#include "saver/saver_window_win.h"

#include <windows.h>
#include <windowsx.h>

#include "win/app_win.h"
#include "win/resource_ids.h"

namespace quorvane::saver {
namespace {

constexpr wchar_t kClassName[] = L"QuorvaneSaver";

struct PointerStart {
  int x = 0;
  int y = 0;
};
PointerStart g_pointer_start;

[[noreturn]] void EndRun() {
  ShowCursor(TRUE);
  win::EndProcess();
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEMOVE: {
      int x = GET_X_LPARAM(lp);
      int y = GET_Y_LPARAM(lp);
      // The first position only records where the pointer was; a later different one ends.
      if (g_pointer_start.x == 0 && g_pointer_start.y == 0) {
        g_pointer_start = {x, y};
      } else if (x != g_pointer_start.x || y != g_pointer_start.y) {
        EndRun();
      }
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CLOSE:
      EndRun();
    case WM_SETCURSOR:
      SetCursor(nullptr);
      return TRUE;
    default:
      return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

}  // namespace

void LoadSaverWindow() {
  HINSTANCE instance = win::AppInstance();
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_SAVER));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);
  HWND hwnd = CreateWindowExW(WS_EX_TOPMOST, kClassName, L"Form1", WS_POPUP, 0, 0,
                              GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                              nullptr, instance, nullptr);
  ShowWindow(hwnd, SW_SHOW);
  ShowCursor(FALSE);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  EndRun();
}

}  // namespace quorvane::saver
