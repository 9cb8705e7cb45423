// One Win32 window owned by a C++ object: its class registered the first time it is needed, the
// object found from the window from its first message on, and each message handed to a named
// handler. A handler returns the message's result, or nothing for the system's own handling.
// The saver's windows, the settings dialog and the playback component derive from it. A window
// is used on the thread that created it.
#pragma once

#include <windows.h>

#include <optional>

namespace quorvane::win {

class Window {
 public:
  Window() = default;
  virtual ~Window();  // destroys the window if it still exists
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND Handle() const { return handle_; }

 protected:
  using Result = std::optional<LRESULT>;

  struct Class {
    const wchar_t* name;
    HBRUSH background = nullptr;
    HCURSOR cursor = nullptr;
    HICON icon = nullptr;
    UINT style = 0;  // CS_ flags
  };
  // Where a window goes and how big it is, in pixels; CW_USEDEFAULT lets the system choose.
  struct Place {
    int left = CW_USEDEFAULT, top = CW_USEDEFAULT, width = CW_USEDEFAULT, height = CW_USEDEFAULT;
  };
  struct Placement {
    DWORD ex_style = 0;
    DWORD style = 0;
    Place place;
    HWND parent = nullptr;
    int id = 0;  // a child window's control id
  };

  // Creates the window; false when it cannot be made.
  bool Create(const Class& window_class, const Placement& placement, const wchar_t* caption);

  virtual Result OnPaint() { return {}; }
  virtual Result OnSize() { return {}; }
  virtual Result OnPowerBroadcast(WPARAM /*event*/, LPARAM /*data*/) { return {}; }
  virtual Result OnCommand(int /*id*/, int /*code*/) { return {}; }
  virtual Result OnClose() { return {}; }
  virtual Result OnEndSession() { return {}; }
  virtual Result OnMouseMove(POINT /*at*/) { return {}; }
  // A press of any mouse button, or the wheel turned.
  virtual Result OnMouseButton() { return {}; }
  // WM_KEYDOWN, WM_SYSKEYDOWN, WM_SYSKEYUP and WM_SYSCHAR.
  virtual Result OnKey(UINT /*message*/, WPARAM /*key*/) { return {}; }
  virtual Result OnSetCursor() { return {}; }
  virtual Result OnSysCommand(WPARAM /*command*/) { return {}; }
  virtual Result OnCtlColorStatic(HDC /*dc*/, HWND /*control*/) { return {}; }
  virtual Result OnDrawItem(const DRAWITEMSTRUCT& /*item*/) { return {}; }
  virtual Result OnActivate(bool /*active*/) { return {}; }
  virtual Result OnDpiChanged(int /*dpi*/, const RECT& /*suggested*/) { return {}; }
  virtual Result OnHitTest() { return {}; }
  virtual Result OnMouseActivate() { return {}; }
  virtual Result OnEraseBackground() { return {}; }
  // The program's own messages (WM_APP and above).
  virtual Result OnAppMessage(UINT /*message*/, WPARAM /*wparam*/, LPARAM /*lparam*/) { return {}; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam,
                                    LPARAM lparam) noexcept;
  Result Route(UINT message, WPARAM wparam, LPARAM lparam);

  HWND handle_ = nullptr;
};

}  // namespace quorvane::win
