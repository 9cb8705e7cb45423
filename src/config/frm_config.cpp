#include "config/frm_config.h"

#include "config/browser_paths.h"
#include "config/config_messages.h"
#include "settings/number_reading.h"
#include "settings/saver_settings.h"

namespace quorvane::config {
namespace {

// A stored option index selects its option only when it names one: out of the array or out of
// 16 bits, the option keeps the choice it had.
void SelectStored(OptionArray& options, std::string_view value) {
  std::optional<int16_t> index = settings::ReadOptionIndex(value);
  if (index && *index >= 0 && *index < options.Count()) options.Select(*index);
}

}  // namespace

FrmConfig::FrmConfig(const ControlStates& controls, player::PlaybackComponent& preview,
                     settings::SettingsStore& store, ConfigHost& host)
    : controls_(controls), reaAudioPre(preview), store_(store), host_(host) {
  dirSel_Change();
}

void FrmConfig::Form_Load() {
  host_.ShowDialog();
  shown_drive_ = drvSel.Drive();
  std::optional<std::string> text = store_.Load();
  if (!text) return;
  settings::ForEachEntry(*text, [this](const settings::Entry& entry) { LoadEntry(entry); });
}

void FrmConfig::LoadEntry(const settings::Entry& entry) {
  namespace s = settings;
  if (entry.key == s::kListDir) {
    // A drive that is not there keeps the browser where it was; so does one not ready.
    if (drvSel.SetDrive(std::string(entry.value)) && !FollowDrive()) {
      drvSel.SetDrive(shown_drive_);
    }
  } else if (entry.key == s::kListPath) {
    if (dirSel.SetPath(std::string(entry.value))) dirSel_Change();
  } else if (entry.key == s::kSizeSel) {
    SelectStored(optSizeSel, entry.value);
  } else if (entry.key == s::kSizeFree) {
    txtSizeFree.SetText(std::string(entry.value));
  } else if (entry.key == s::kPosSel) {
    SelectStored(optPosSel, entry.value);
  } else if (entry.key == s::kJyunSel) {
    SelectStored(optJyunSel, entry.value);
  } else if (entry.key == s::kPlayList) {
    lstPlay.AddItem(std::string(entry.value));
  }
}

void FrmConfig::Form_Unload() { host_.EndProcess(); }

void FrmConfig::cmdOk_Click() {
  settings::SettingsRecord record;
  record.list_dir = drvSel.Drive();
  record.list_path = dirSel.Path();
  record.size_sel = optSizeSel.Selected();
  record.size_free = txtSizeFree.Text();
  record.pos_sel = optPosSel.Selected();
  record.jyun_sel = optJyunSel.Selected();
  for (int i = 0; i < lstPlay.ListCount(); ++i) record.play_list.push_back(lstPlay.List(i));
  std::string reason = store_.Replace(settings::FormatSettings(record));
  if (!reason.empty()) {
    // The old file is still whole; the dialog stays open so that nothing is lost.
    host_.ShowMessage(SaveFailedMessage(store_.Location(), reason));
    return;
  }
  Form_Unload();
}

void FrmConfig::cmdCancel_Click() { Form_Unload(); }

void FrmConfig::drvSel_Change() {
  if (FollowDrive()) return;
  host_.ShowMessage(DriveNotReadyMessage(drvSel.Drive()));
  drvSel.SetDrive(shown_drive_);
}

bool FrmConfig::FollowDrive() {
  std::string drive = drvSel.Drive();
  if (!dirSel.SetPath(drive)) return false;
  shown_drive_ = drive;
  dirSel_Change();
  return true;
}

void FrmConfig::dirSel_Change() { filSel.SetPath(dirSel.Path()); }

std::string FrmConfig::EntryPathFromBrowser() const {
  return JoinEntryPath(filSel.Path(), filSel.FileName());
}

void FrmConfig::filSel_DblClick() { reaAudioPre.SetSource(EntryPathFromBrowser()); }

void FrmConfig::lstPlay_DblClick() {
  int index = lstPlay.ListIndex();
  if (index < 0) return;
  reaAudioPre.SetSource(lstPlay.List(index));
}

void FrmConfig::cmdAdd_Click() {
  if (lstPlay.ListCount() >= settings::kMostPlayListEntries) {
    host_.ShowMessage(std::string(kListFullMessage));
    return;
  }
  lstPlay.AddItem(EntryPathFromBrowser());
}

void FrmConfig::cmdDel_Click() {
  int index = lstPlay.ListIndex();
  if (index >= 0) lstPlay.RemoveItem(index);
}

void FrmConfig::cmdUp_Click() {
  int index = lstPlay.ListIndex();
  if (index > 0) SwapEntries(index, index - 1);
}

void FrmConfig::cmdDown_Click() {
  int index = lstPlay.ListIndex();
  if (index >= 0 && index < lstPlay.ListCount() - 1) SwapEntries(index, index + 1);
}

void FrmConfig::SwapEntries(int from, int to) {
  std::string moved = lstPlay.List(from);
  lstPlay.SetList(from, lstPlay.List(to));
  lstPlay.SetList(to, moved);
  lstPlay.SetListIndex(to);
  lstPlay.Refresh();
}

}  // namespace quorvane::config
