// The saver window frmMain on Win32: a black borderless topmost window over the primary monitor
// (plain black covers over the others), hosting the playback component reaAudio, and handing
// its input and its size to the portable FrmMain.
#include "saver/saver_window_win.h"

#include <windows.h>

#include <memory>
#include <new>
#include <vector>

#include "player/output/playback_window_win.h"
#include "saver/frm_main.h"
#include "settings/settings_store_win.h"
#include "win/app_win.h"
#include "win/resource_ids.h"
#include "win/thread_name_win.h"
#include "win/window_win.h"

namespace quorvane::saver {
namespace {

constexpr wchar_t kClassName[] = L"QuorvaneSaver";
// The display's power state: GUID_CONSOLE_DISPLAY_STATE (Windows 8 and later) and, on Windows 7,
// GUID_MONITOR_POWER_ON; each tells 0 for off, 1 for on, and the first 2 for dimmed.
constexpr GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID kMonitorPowerOn = {
    0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};
constexpr wchar_t kCoverClassName[] = L"QuorvaneSaverCover";
constexpr int kComponentId = 1;

// What the saver window and its covers do with input: the same, frmMain's exit triggers, once
// the form is there.
class SaverInput {
 public:
  void Attach(FrmMain& form, HWND saver) {
    form_ = &form;
    saver_ = saver;
  }
  // A pointer position in the coordinates of the window it was seen on.
  void MouseMovedTo(HWND window, POINT at) {
    if (!form_) return;
    // Positions on a cover count in the saver window's own coordinates.
    if (window != saver_) MapWindowPoints(window, saver_, &at, 1);
    int16_t button = 0, shift = 0;
    float x = static_cast<float>(at.x), y = static_cast<float>(at.y);
    form_->Form_MouseMove(button, shift, x, y);
  }
  void Clicked() {
    if (form_) form_->Form_Click();
  }
  void KeyPressed(WPARAM key) {
    if (!form_) return;
    int16_t code = static_cast<int16_t>(key), shift = 0;
    form_->Form_KeyDown(code, shift);
  }

 private:
  FrmMain* form_ = nullptr;
  HWND saver_ = nullptr;
};

// The handlers every window of the saver shares: input goes to the sink, the pointer stays
// hidden, and the system's menu keys never start a menu loop.
class SaverSurface : public win::Window {
 protected:
  explicit SaverSurface(SaverInput& sink) : sink_(sink) {}

  Result OnMouseMove(POINT at) override {
    sink_.MouseMovedTo(Handle(), at);
    return 0;
  }
  Result OnMouseButton() override {
    sink_.Clicked();
    return 0;
  }
  Result OnKey(UINT message, WPARAM key) override {
    // System keys (Alt, F10) too, and never to the default handling: no menu loop starts.
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) sink_.KeyPressed(key);
    return 0;
  }
  Result OnSetCursor() override {
    SetCursor(nullptr);
    return TRUE;
  }
  // No second screen saver over this one; everything else, monitor power included, as usual.
  Result OnSysCommand(WPARAM command) override {
    if ((command & 0xFFF0) == SC_SCREENSAVE) return 0;
    return {};
  }

 private:
  SaverInput& sink_;
};

// Plain black over a monitor other than the primary one.
class Cover final : public SaverSurface {
 public:
  explicit Cover(SaverInput& sink) : SaverSurface(sink) {}
  bool Create(const RECT& monitor) {
    Placement placement;
    placement.ex_style = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    placement.style = WS_POPUP;
    placement.place = {monitor.left, monitor.top, monitor.right - monitor.left,
                       monitor.bottom - monitor.top};
    return Window::Create(Class{kCoverClassName, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))},
                          placement, L"");
  }
  using Window::Handle;
};

class SaverWindow final : private SaverInput, public SaverSurface, public SaverHost {
 public:
  SaverWindow() : SaverSurface(static_cast<SaverInput&>(*this)) {}

  // Ends the process when the saver ends, or when its windows cannot be made.
  [[noreturn]] void Run() {
    win::NameThisThread(L"quorvane_window");
    store_ = settings::CreateProgramSettingsStore();
    if (!CreateWindows()) win::EndProcess();
    frm_ = std::make_unique<FrmMain>(*this, *component_, *store_);
    Attach(*frm_, Handle());
    // Windows tells the display's state at once, then at each change.
    if (!RegisterPowerSettingNotification(Handle(), &kConsoleDisplayState,
                                          DEVICE_NOTIFY_WINDOW_HANDLE)) {
      RegisterPowerSettingNotification(Handle(), &kMonitorPowerOn, DEVICE_NOTIFY_WINDOW_HANDLE);
    }
    component_->SetNoticeHandler(
        [this](const std::string& a, const std::string& b) { frm_->reaAudio_Notice(a, b); });
    frm_->Form_Load();
    win::EndProcess();
  }

  // SaverHost
  void Show() override {
    ShowWindow(Handle(), SW_SHOW);
    for (const auto& cover : covers_) ShowWindow(cover->Handle(), SW_SHOWNOACTIVATE);
    SetForegroundWindow(Handle());
    SetFocus(Handle());
  }
  void Refresh() override {
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  void Cls() override {
    ShowWindow(component_->Handle(), SW_HIDE);
    Refresh();
  }
  void Hide() override {
    // An empty window region: nothing of the windows shows any more, at once. Hiding the
    // foreground window would first hand the activation to another program, which can take
    // seconds (two under Wine); the process ends right after this anyway.
    SetWindowRgn(Handle(), CreateRectRgn(0, 0, 0, 0), TRUE);
    for (const auto& cover : covers_)
      SetWindowRgn(cover->Handle(), CreateRectRgn(0, 0, 0, 0), TRUE);
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
  // The display's power: nothing is played to a dark screen.
  Result OnPowerBroadcast(WPARAM event, LPARAM data) override {
    if (event != PBT_POWERSETTINGCHANGE || !data || !frm_) return {};
    const auto& setting = *reinterpret_cast<const POWERBROADCAST_SETTING*>(data);
    bool display = IsEqualGUID(setting.PowerSetting, kConsoleDisplayState) ||
                   IsEqualGUID(setting.PowerSetting, kMonitorPowerOn);
    if (!display || setting.DataLength < sizeof(DWORD)) return {};
    DWORD value = 0;
    memcpy(&value, setting.Data, sizeof value);
    int16_t state = static_cast<int16_t>(value);
    frm_->Form_DisplayPower(state);
    return TRUE;
  }
  // The system unloading the window: the end of the run, at once.
  Result OnClose() override { return Unload(); }
  Result OnEndSession() override { return Unload(); }
  Result Unload() {
    if (!frm_) return {};
    int16_t cancel = 0;
    frm_->Form_Unload(cancel);
    return 0;
  }

  RECT ClientRect() const {
    RECT rect{};
    GetClientRect(Handle(), &rect);
    return rect;
  }

  bool CreateWindows() {
    // The primary monitor, in pixels: the unit the component reports its picture in.
    Placement placement;
    placement.ex_style = WS_EX_TOPMOST;
    placement.style = WS_POPUP | WS_CLIPCHILDREN;
    placement.place = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    Class saver{kClassName, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), nullptr,
                LoadIconW(win::AppInstance(), MAKEINTRESOURCEW(IDI_SAVER))};
    if (!Window::Create(saver, placement, L"Form1")) return false;
    EnumDisplayMonitors(nullptr, nullptr, &SaverWindow::AddCover, reinterpret_cast<LPARAM>(this));

    // The design rectangle, 120, 120, 615 x 495 twips, at the screen's DPI; hidden until the
    // first clip is placed.
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
    RECT design{px(120), px(120), px(120 + 615), px(120 + 495)};
    component_ = player::CreatePlaybackWindow(Handle(), kComponentId, design, false);
    return component_ != nullptr;
  }

  // Called from Windows' own code: nothing may be thrown through it.
  static BOOL CALLBACK AddCover(HMONITOR monitor, HDC, LPRECT, LPARAM data) noexcept {
    auto* self = reinterpret_cast<SaverWindow*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info) || (info.dwFlags & MONITORINFOF_PRIMARY)) return TRUE;
    try {
      auto cover = std::make_unique<Cover>(static_cast<SaverInput&>(*self));
      if (cover->Create(info.rcMonitor)) self->covers_.push_back(std::move(cover));
    } catch (const std::bad_alloc&) {
      return FALSE;  // that monitor and the ones after it stay uncovered
    }
    return TRUE;
  }

  std::vector<std::unique_ptr<Cover>> covers_;
  std::unique_ptr<player::PlaybackWindow> component_;
  std::unique_ptr<settings::SettingsStore> store_;
  std::unique_ptr<FrmMain> frm_;
};

}  // namespace

void LoadSaverWindow() {
  // Lives until the process ends inside Run.
  static SaverWindow saver;
  saver.Run();
}

}  // namespace quorvane::saver
