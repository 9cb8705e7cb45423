// The settings dialog's window, within the config module: the real controls made from the
// layout table, the handlers of FrmConfig that its rows name, and the dialog's keyboard rules. Its
// parts live in three files: config_window_win.cpp (making the window and the host FrmConfig talks
// to), config_layout_win.cpp (the controls made, placed and given their fonts at the window's DPI)
// and config_input_win.cpp (the notifications, colours, focus and keys). Created once per process
// by LoadConfigWindow; UI thread only.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "config/controls.h"
#include "config/fonts_win.h"
#include "config/frm_config.h"
#include "config/layout.h"
#include "player/output/playback_window_win.h"
#include "settings/settings_store_win.h"
#include "win/app_win.h"
#include "win/window_win.h"

namespace quorvane::config {

class ConfigWindow final : public ConfigHost, private win::Window {
 public:
  ConfigWindow();
  void Load() { form_->Form_Load(); }
  // The dialog's part of the message loop: true when the message was used up.
  bool PreTranslate(MSG& msg);

  void ShowDialog() override;
  void ShowMessage(const std::string& text) override;
  void EndProcess() override { win::EndProcess(); }

 private:
  Result OnCommand(int id, int code) override;
  Result OnCtlColorStatic(HDC dc, HWND control) override;
  Result OnDrawItem(const DRAWITEMSTRUCT& item) override;
  Result OnActivate(bool active) override;
  Result OnDpiChanged(int dpi, const RECT& suggested) override;
  Result OnClose() override {
    form_->Form_Unload();
    return 0;
  }

  // False when the preview could not be made (no window, no worker thread): nothing to host.
  bool CreateControls();
  void ApplyLayout();
  void FitClientArea();
  void AddTooltips();
  void OnEnter();
  // Runs the handler of the control's event.
  void Raise(const ControlLayout& control);
  // Whether the control can take the focus now: enabled and shown, and of an option array only
  // the selected button.
  bool CanTakeFocus(const ControlLayout& control) const;
  void MoveFocus(bool backwards);
  HWND Item(int id) const { return GetDlgItem(Handle(), id); }

  HWND tip_ = nullptr;
  std::vector<HWND> tipped_;  // the controls that have a tool tip
  int dpi_ = 96;
  std::unique_ptr<DialogFonts> fonts_;
  HBRUSH red_ = CreateSolidBrush(RGB(255, 0, 0));
  HWND focus_ = nullptr;  // the control to give the focus back to when the dialog is activated
  std::unique_ptr<player::PlaybackWindow> preview_;
  // What keeps the state of the controls that keep one, each wrapped from its id once the dialog
  // has made it (the browser's lists fill themselves then).
  std::unique_ptr<ControlStates> controls_;
  std::unique_ptr<settings::SettingsStore> store_;
  std::unique_ptr<FrmConfig> form_;
};

}  // namespace quorvane::config
