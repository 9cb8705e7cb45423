// frmConfig, the settings dialog's form: its twelve event handlers over the control interfaces
// of controls.h. It keeps no settings of its own (they live in the controls between loading and
// OK); it only remembers the drive the browser shows, to put the drive list back when a picked
// drive is not ready. The controls, the preview, the store and the host belong to the window that
// creates it.
#pragma once

#include <string>

#include "config/control_ids.h"
#include "config/controls.h"
#include "player/playback_component.h"
#include "settings/settings_file.h"
#include "settings/settings_store.h"

namespace quorvane::config {

class FrmConfig {
 public:
  // The file list starts in the directory list's folder.
  FrmConfig(const ControlStates& controls, player::PlaybackComponent& preview,
            settings::SettingsStore& store, ConfigHost& host);

  // Settings load and save.
  void Form_Load();
  void Form_Unload();
  void cmdOk_Click();
  void cmdCancel_Click();

  // The file browser, the previews and the playlist buttons.
  void drvSel_Change();
  void dirSel_Change();
  void filSel_DblClick();
  void lstPlay_DblClick();
  void cmdAdd_Click();
  void cmdDel_Click();
  void cmdUp_Click();
  void cmdDown_Click();

 private:
  void LoadEntry(const settings::Entry& entry);
  // Moves the directory list to the drive list's drive; false when the drive is not ready.
  bool FollowDrive();
  std::string EntryPathFromBrowser() const;
  void SwapEntries(int from, int to);

  // The controls the handlers use, each found by its id.
  const ControlStates& controls_;
  DriveList& drvSel = controls_.Of<DriveList>(kIdDrvSel);
  DirList& dirSel = controls_.Of<DirList>(kIdDirSel);
  FileList& filSel = controls_.Of<FileList>(kIdFilSel);
  ListBox& lstPlay = controls_.Of<ListBox>(kIdLstPlay);
  OptionArray& optSizeSel = controls_.Of<OptionArray>(kIdOptSizeSel0);
  OptionArray& optPosSel = controls_.Of<OptionArray>(kIdOptPosSel0);
  OptionArray& optJyunSel = controls_.Of<OptionArray>(kIdOptJyunSel0);
  TextBox& txtSizeFree = controls_.Of<TextBox>(kIdTxtSizeFree);
  player::PlaybackComponent& reaAudioPre;
  settings::SettingsStore& store_;
  ConfigHost& host_;
  std::string shown_drive_;
};

}  // namespace quorvane::config
