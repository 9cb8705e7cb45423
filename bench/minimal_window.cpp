// The smallest Win32 program that shows a black full-screen window: the yardstick for the
// saver's start-up time under the same Wine.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = L"MinimalWindow";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(WS_EX_TOPMOST, L"MinimalWindow", L"Minimal", WS_POPUP, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                nullptr, nullptr, instance, nullptr);
  ShowWindow(window, SW_SHOW);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
