#include "win/window_win.h"

#include <windowsx.h>

#include "win/app_win.h"

namespace quorvane::win {

Window::~Window() {
  if (!handle_) return;
  // The window outlives no object: its messages from now on go to the default handling.
  SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
  DestroyWindow(handle_);
}

bool Window::Create(const Class& window_class, const Placement& placement, const wchar_t* caption) {
  HINSTANCE instance = AppInstance();
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (!GetClassInfoExW(instance, window_class.name, &existing)) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = window_class.style;
    wc.lpfnWndProc = &Window::Procedure;
    wc.hInstance = instance;
    wc.hbrBackground = window_class.background;
    wc.hCursor = window_class.cursor;
    wc.hIcon = window_class.icon;
    wc.lpszClassName = window_class.name;
    if (!RegisterClassExW(&wc)) return false;
  }
  const Place& p = placement.place;
  CreateWindowExW(placement.ex_style, window_class.name, caption, placement.style, p.left, p.top,
                  p.width, p.height, placement.parent,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(placement.id)), instance, this);
  return handle_ != nullptr;
}

LRESULT CALLBACK Window::Procedure(HWND window, UINT message, WPARAM wparam,
                                   LPARAM lparam) noexcept {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->handle_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  // Windows calls this from its own code: nothing may be thrown through it. A handler that ran
  // out of memory leaves the message to the system's own handling.
  try {
    if (self) {
      if (Result result = self->Route(message, wparam, lparam)) return *result;
    }
  } catch (...) {
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

Window::Result Window::Route(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      return OnPaint();
    case WM_SIZE:
      return OnSize();
    case WM_POWERBROADCAST:
      return OnPowerBroadcast(wparam, lparam);
    case WM_COMMAND:
      return OnCommand(LOWORD(wparam), HIWORD(wparam));
    case WM_CLOSE:
      return OnClose();
    case WM_ENDSESSION:
      return OnEndSession();
    case WM_MOUSEMOVE:
      return OnMouseMove(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
      return OnMouseButton();
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
      return OnKey(message, wparam);
    case WM_SETCURSOR:
      return OnSetCursor();
    case WM_SYSCOMMAND:
      return OnSysCommand(wparam);
    case WM_CTLCOLORSTATIC:
      return OnCtlColorStatic(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_DRAWITEM:
      return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
    case WM_ACTIVATE:
      return OnActivate(LOWORD(wparam) != WA_INACTIVE);
    case WM_DPICHANGED:
      return OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
    case WM_NCHITTEST:
      return OnHitTest();
    case WM_MOUSEACTIVATE:
      return OnMouseActivate();
    case WM_ERASEBKGND:
      return OnEraseBackground();
    case WM_NCDESTROY:
      handle_ = nullptr;
      return {};
    default:
      if (message >= WM_APP && message <= 0xBFFF) return OnAppMessage(message, wparam, lparam);
      return {};
  }
}

}  // namespace quorvane::win
