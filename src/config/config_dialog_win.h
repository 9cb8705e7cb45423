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

#include "config/browser_win.h"
#include "config/control_ids.h"
#include "config/controls_win.h"
#include "config/fonts_win.h"
#include "config/frm_config.h"
#include "config/layout.h"
#include "player/output/playback_window_win.h"
#include "settings/settings_store_win.h"
#include "win/app_win.h"
#include "win/window_win.h"

namespace quorvane::config {

// The controls that keep the form's state between loading and OK, each wrapped from its id
// once the dialog has made it (the browser's lists fill themselves then).
struct FormControlsWin {
  HWND dialog;
  DriveListWin drvSel{GetDlgItem(dialog, kIdDrvSel)};
  DirListWin dirSel{GetDlgItem(dialog, kIdDirSel)};
  FileListWin filSel{GetDlgItem(dialog, kIdFilSel)};
  ListBoxWin lstPlay{GetDlgItem(dialog, kIdLstPlay)};
  OptionArrayWin optSizeSel{dialog, kIdOptSizeSel0};
  OptionArrayWin optPosSel{dialog, kIdOptPosSel0};
  OptionArrayWin optJyunSel{dialog, kIdOptJyunSel0};
  TextBoxWin txtSizeFree{GetDlgItem(dialog, kIdTxtSizeFree)};
};

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
  void MoveFocus(bool backwards);
  HWND Item(int id) const { return GetDlgItem(Handle(), id); }

  HWND tip_ = nullptr;
  std::vector<HWND> tipped_;  // the controls that have a tool tip
  int dpi_ = 96;
  std::unique_ptr<DialogFonts> fonts_;
  HBRUSH red_ = CreateSolidBrush(RGB(255, 0, 0));
  HWND focus_ = nullptr;  // the control to give the focus back to when the dialog is activated
  std::unique_ptr<player::PlaybackWindow> preview_;
  std::unique_ptr<FormControlsWin> controls_;
  std::unique_ptr<settings::SettingsStore> store_;
  std::unique_ptr<FrmConfig> form_;
};

}  // namespace quorvane::config
