// The settings dialog's controls made from the layout table, stacked, placed and given their
// fonts at the window's DPI (again when it changes), the client area sized to the layout, and
// the controls' tool tips.
#include "config/config_dialog_win.h"

#include <commctrl.h>

#include "config/control_kinds_win.h"
#include "config/layout.h"
#include "win/app_win.h"
#include "win/text_win.h"

namespace quorvane::config {

bool ConfigWindow::CreateControls() {
  for (const ControlLayout& control : kLayout) {
    PixelRect place = PlaceOf(control, dpi_);
    if (KindOf(control).window_class) {
      CreateControl(Handle(), control, place);
      continue;
    }
    preview_ = player::CreatePlaybackWindow(
        Handle(), control.id, RECT{place.left, place.top, place.right, place.bottom}, true);
    if (!preview_) return false;
    preview_->SetFitPicture(true);
  }
  // Each control in turn to the bottom, from the top one down.
  for (const ControlLayout* control : StackingOrder()) {
    SetWindowPos(Item(control->id), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  return true;
}

// Places every control and gives it its font at the window's DPI (again after a DPI change).
void ConfigWindow::ApplyLayout() {
  for (const ControlLayout& control : kLayout) {
    HWND item = Item(control.id);
    PixelRect place = PlaceOf(control, dpi_);
    SetWindowPos(item, nullptr, place.left, place.top, place.right - place.left,
                 WindowHeight(control, place), SWP_NOZORDER | SWP_NOACTIVATE);
    FontRole role = FontOf(control);
    if (role == FontRole::kNone) continue;
    HFONT font = fonts_->Of(role);
    SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (auto fit = KindOf(control).fit) fit(item, font, place, dpi_);
  }
}

// The client area is the layout's size in pixels at the window's DPI, whatever the frame takes.
void ConfigWindow::FitClientArea() {
  int width = TwipsToPixels(kClientWidthTwips, dpi_);
  int height = TwipsToPixels(kClientHeightTwips, dpi_);
  RECT window, client;
  GetWindowRect(Handle(), &window);
  GetClientRect(Handle(), &client);
  SetWindowPos(Handle(), nullptr, 0, 0, window.right - window.left + width - client.right,
               window.bottom - window.top + height - client.bottom,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The tool tips see the lists' mouse messages through the message loop (PreTranslate) rather
// than by subclassing the lists: a subclassed list box takes a costly detour for every message,
// under Wine a tenth of a millisecond, and a folder of thousands of clips sends thousands.
void ConfigWindow::AddTooltips() {
  tip_ =
      CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                      WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr, win::AppInstance(), nullptr);
  for (const ControlLayout& control : kLayout) {
    if (!control.tip) continue;
    std::wstring text = win::Widen(control.tip);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(Item(control.id));
    tool.lpszText = text.data();
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    tipped_.push_back(Item(control.id));
  }
}

win::Window::Result ConfigWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  dpi_ = dpi;
  // The controls draw with the old fonts until the layout hands them the new ones: the old go
  // only after that.
  std::unique_ptr<DialogFonts> old_fonts = std::move(fonts_);
  fonts_ = std::make_unique<DialogFonts>(dpi_);
  SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  FitClientArea();
  ApplyLayout();
  return 0;
}

}  // namespace quorvane::config
