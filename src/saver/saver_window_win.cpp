// The saver window frmMain on Win32: a black borderless topmost window over the primary monitor
// (plain black covers over the others), hosting the playback component reaAudio, and handing
// its input and its size to the portable FrmMain.
#include "saver/saver_window_win.h"

#include <windows.h>
#include <windowsx.h>

#include <memory>
#include <optional>
#include <vector>

#include "player/playback_window_win.h"
#include "saver/frm_main.h"
#include "settings/settings_store_win.h"
#include "win/app_win.h"
#include "win/resource_ids.h"

namespace quorvane::saver {
namespace {

constexpr wchar_t kClassName[] = L"QuorvaneSaver";
constexpr wchar_t kCoverClassName[] = L"QuorvaneSaverCover";
constexpr int kComponentId = 1;

class SaverWindow final : public SaverHost {
 public:
  void Run() {
    store_ = settings::CreateProgramSettingsStore();
    if (!CreateWindows()) win::EndProcess();
    frm_ = std::make_unique<FrmMain>(*this, *component_, *store_);
    component_->SetNoticeHandler(
        [this](const std::string& a, const std::string& b) { frm_->reaAudio_Notice(a, b); });
    frm_->Form_Load();
    win::EndProcess();
  }

  // SaverHost
  void Show() override {
    ShowWindow(window_, SW_SHOW);
    for (HWND cover : covers_) ShowWindow(cover, SW_SHOWNOACTIVATE);
    SetForegroundWindow(window_);
    SetFocus(window_);
  }
  void Refresh() override {
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  void Cls() override {
    ShowWindow(component_->Handle(), SW_HIDE);
    Refresh();
  }
  void Hide() override {
    // An empty window region: nothing of the windows shows any more, at once. Hiding the
    // foreground window would first hand the activation to another program, which can take
    // seconds (two under Wine); the process ends right after this anyway.
    SetWindowRgn(window_, CreateRectRgn(0, 0, 0, 0), TRUE);
    for (HWND cover : covers_) SetWindowRgn(cover, CreateRectRgn(0, 0, 0, 0), TRUE);
  }
  float ScaleHeight() override { return static_cast<float>(ClientRect().bottom); }
  float ScaleWidth() override { return static_cast<float>(ClientRect().right); }
  void DoEvents() override {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  void WaitForEvents(int timeout_ms) override {
    HANDLE wake = component_->WakeEvent();
    MsgWaitForMultipleObjectsEx(1, &wake, static_cast<DWORD>(timeout_ms), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
  }
  bool ScreenSaverActive() override {
    BOOL active = TRUE;
    SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
    return active != FALSE;
  }
  void SetScreenSaverActive(bool active) override {
    // In memory only: the user profile is not written and nothing is broadcast.
    char empty[1] = {0};
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, active ? TRUE : FALSE, empty, 0);
  }
  void ShowCursor(bool show) override { ::ShowCursor(show ? TRUE : FALSE); }
  double TimeOfDay() override {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
  }
  uint64_t NowMs() override { return GetTickCount64(); }
  void EndProcess() override { win::EndProcess(); }

 private:
  RECT ClientRect() const {
    RECT rect{};
    GetClientRect(window_, &rect);
    return rect;
  }

  bool CreateWindows() {
    HINSTANCE instance = win::AppInstance();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &SaverWindow::Procedure;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_SAVER));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
    wc.hIcon = nullptr;
    wc.lpszClassName = kCoverClassName;
    RegisterClassExW(&wc);

    // The primary monitor, in pixels: the unit the component reports its picture in.
    window_ = CreateWindowExW(WS_EX_TOPMOST, kClassName, L"Form1", WS_POPUP | WS_CLIPCHILDREN, 0, 0,
                              GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                              nullptr, instance, this);
    if (!window_) return false;
    EnumDisplayMonitors(nullptr, nullptr, &SaverWindow::AddCover, reinterpret_cast<LPARAM>(this));

    // The design rectangle, 120, 120, 615 x 495 twips, at the screen's DPI; hidden until the
    // first clip is placed.
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
    RECT design{px(120), px(120), px(120 + 615), px(120 + 495)};
    component_ = player::CreatePlaybackWindow(window_, kComponentId, design, false);
    return component_ != nullptr;
  }

  static BOOL CALLBACK AddCover(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto* self = reinterpret_cast<SaverWindow*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info) || (info.dwFlags & MONITORINFOF_PRIMARY)) return TRUE;
    const RECT& r = info.rcMonitor;
    HWND cover = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kCoverClassName, L"", WS_POPUP,
                                 r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr,
                                 nullptr, win::AppInstance(), self);
    if (cover) self->covers_.push_back(cover);
    return TRUE;
  }

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<SaverWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && self->frm_) {
      std::optional<LRESULT> handled = self->Handle(window, message, wparam, lparam);
      if (handled) return *handled;
    }
    return DefWindowProcW(window, message, wparam, lparam);
  }

  std::optional<LRESULT> Handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_MOUSEMOVE: {
        // Positions on a cover count in the saver window's own coordinates.
        POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        if (window != window_) MapWindowPoints(window, window_, &point, 1);
        int16_t button = 0, shift = 0;
        float x = static_cast<float>(point.x), y = static_cast<float>(point.y);
        frm_->Form_MouseMove(button, shift, x, y);
        return 0;
      }
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_XBUTTONDOWN:
      case WM_MOUSEWHEEL:
      case WM_MOUSEHWHEEL:
        frm_->Form_Click();
        return 0;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN: {
        // System keys (Alt, F10) too, and never to the default handler: no menu loop starts.
        int16_t key = static_cast<int16_t>(wparam), shift = 0;
        frm_->Form_KeyDown(key, shift);
        return 0;
      }
      case WM_SYSKEYUP:
      case WM_SYSCHAR:
        return 0;
      case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
      case WM_SYSCOMMAND:
        // No second screen saver over this one; everything else, monitor power included, as usual.
        if ((wparam & 0xFFF0) == SC_SCREENSAVE) return 0;
        return std::nullopt;
      case WM_CLOSE:
      case WM_ENDSESSION: {
        // The system unloading the window: the end of the run, at once.
        int16_t cancel = 0;
        frm_->Form_Unload(cancel);
        return 0;
      }
      default:
        return std::nullopt;
    }
  }

  HWND window_ = nullptr;
  std::vector<HWND> covers_;
  std::unique_ptr<player::PlaybackWindow> component_;
  std::unique_ptr<settings::SettingsStore> store_;
  std::unique_ptr<FrmMain> frm_;
};

}  // namespace

void LoadSaverWindow() {
  // Lives until the process ends inside Run.
  static SaverWindow saver;
  saver.Run();
  win::EndProcess();
}

}  // namespace quorvane::saver
