// The settings dialog's window made and wired up: its controls handed to FrmConfig, and the host
// through which FrmConfig shows the dialog and its messages. The entry points of
// config_window_win.h.
#include "config/config_window_win.h"

#include <commctrl.h>

#include "config/common_controls_win.h"
#include "config/config_dialog_win.h"
#include "config/control_kinds_win.h"
#include "config/tab_order.h"
#include "win/system_library_win.h"
#include "win/text_win.h"

namespace quorvane::config {
namespace {

constexpr wchar_t kClassName[] = L"QuorvaneConfig";
constexpr wchar_t kCaption[] = L"Quorvane【設定】";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// Newer Windows scale each window by its monitor's DPI; older ones have one system DPI.
int DpiOf(HWND window) {
  if (auto for_window = win::DllFunction<UINT(WINAPI*)(HWND)>(GetModuleHandleW(L"user32.dll"),
                                                              "GetDpiForWindow")) {
    if (UINT dpi = for_window(window)) return static_cast<int>(dpi);
  }
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

ConfigWindow* loaded_dialog = nullptr;

}  // namespace

ConfigWindow::ConfigWindow() {
  INITCOMMONCONTROLSEX common{sizeof(common), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  if (const CommonControls* controls = LoadCommonControls()) controls->init(&common);
  Placement placement;
  placement.ex_style = WS_EX_CONTROLPARENT;
  placement.style = kStyle;
  placement.place = {CW_USEDEFAULT, CW_USEDEFAULT, 640, 360};
  // Without its window or its preview (the system out of window resources) there is no dialog
  // to show: the process ends, as the saver's does without its window.
  if (!Create(Class{kClassName, GetSysColorBrush(COLOR_BTNFACE), LoadCursorW(nullptr, IDC_ARROW)},
              placement, kCaption)) {
    win::EndProcess();
  }
  dpi_ = DpiOf(Handle());
  fonts_ = std::make_unique<DialogFonts>(dpi_);
  if (!CreateControls()) win::EndProcess();
  FitClientArea();
  ApplyLayout();
  AddTooltips();

  HWND dialog = Handle();
  controls_ = std::make_unique<ControlStates>(
      [dialog](const ControlLayout& control) { return StateOf(dialog, control); });
  store_ = settings::CreateProgramSettingsStore();
  form_ = std::make_unique<FrmConfig>(*controls_, *preview_, *store_, *this);
}

// The focus goes to the first control in the tab order that can take it: OK.
void ConfigWindow::ShowDialog() {
  ShowWindow(Handle(), SW_SHOW);
  UpdateWindow(Handle());
  int first = NextInTabOrder(
      -1, false, [this](const ControlLayout& control) { return CanTakeFocus(control); });
  if (first >= 0) SetFocus(Item(kLayout[static_cast<size_t>(first)].id));
}

void ConfigWindow::ShowMessage(const std::string& text) {
  MessageBoxW(Handle(), win::Widen(text).c_str(), win::kAppTitle, MB_OK);
}

void LoadConfigWindow() {
  // The dialog lives as long as the process: every way out of it ends the process.
  loaded_dialog = new ConfigWindow();
  loaded_dialog->Load();
}

bool IsConfigDialogMessage(MSG& msg) { return loaded_dialog && loaded_dialog->PreTranslate(msg); }

}  // namespace quorvane::config
