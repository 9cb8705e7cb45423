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

FrmConfig::FrmConfig(const ConfigControls& controls, settings::SettingsStore& store,
                     ConfigHost& host)
    : c_(controls), store_(store), host_(host) {}

void FrmConfig::Form_Load() {
  host_.ShowDialog();
  shown_drive_ = c_.drvSel.Drive();
  std::optional<std::string> text = store_.Load();
  if (!text) return;
  settings::ForEachEntry(*text, [this](const settings::Entry& entry) { LoadEntry(entry); });
}

void FrmConfig::LoadEntry(const settings::Entry& entry) {
  namespace s = settings;
  if (entry.key == s::kListDir) {
    // A drive that is not there keeps the browser where it was; so does one not ready.
    if (c_.drvSel.SetDrive(std::string(entry.value)) && !FollowDrive()) {
      c_.drvSel.SetDrive(shown_drive_);
    }
  } else if (entry.key == s::kListPath) {
    if (c_.dirSel.SetPath(std::string(entry.value))) dirSel_Change();
  } else if (entry.key == s::kSizeSel) {
    SelectStored(c_.optSizeSel, entry.value);
  } else if (entry.key == s::kSizeFree) {
    c_.txtSizeFree.SetText(std::string(entry.value));
  } else if (entry.key == s::kPosSel) {
    SelectStored(c_.optPosSel, entry.value);
  } else if (entry.key == s::kJyunSel) {
    SelectStored(c_.optJyunSel, entry.value);
  } else if (entry.key == s::kPlayList) {
    c_.lstPlay.AddItem(std::string(entry.value));
  }
}

void FrmConfig::Form_Unload() { host_.EndProcess(); }

void FrmConfig::cmdOk_Click() {
  settings::SettingsRecord record;
  record.list_dir = c_.drvSel.Drive();
  record.list_path = c_.dirSel.Path();
  record.size_sel = c_.optSizeSel.Selected();
  record.size_free = c_.txtSizeFree.Text();
  record.pos_sel = c_.optPosSel.Selected();
  record.jyun_sel = c_.optJyunSel.Selected();
  for (int i = 0; i < c_.lstPlay.ListCount(); ++i) record.play_list.push_back(c_.lstPlay.List(i));
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
  host_.ShowMessage(DriveNotReadyMessage(c_.drvSel.Drive()));
  c_.drvSel.SetDrive(shown_drive_);
}

bool FrmConfig::FollowDrive() {
  std::string drive = c_.drvSel.Drive();
  if (!c_.dirSel.SetPath(drive)) return false;
  shown_drive_ = drive;
  dirSel_Change();
  return true;
}

void FrmConfig::dirSel_Change() { c_.filSel.SetPath(c_.dirSel.Path()); }

std::string FrmConfig::EntryPathFromBrowser() const {
  return JoinEntryPath(c_.filSel.Path(), c_.filSel.FileName());
}

void FrmConfig::filSel_DblClick() { c_.reaAudioPre.SetSource(EntryPathFromBrowser()); }

void FrmConfig::lstPlay_DblClick() {
  int index = c_.lstPlay.ListIndex();
  if (index < 0) return;
  c_.reaAudioPre.SetSource(c_.lstPlay.List(index));
}

void FrmConfig::cmdAdd_Click() {
  if (c_.lstPlay.ListCount() >= settings::kMostPlayListEntries) {
    host_.ShowMessage(std::string(kListFullMessage));
    return;
  }
  c_.lstPlay.AddItem(EntryPathFromBrowser());
}

void FrmConfig::cmdDel_Click() {
  int index = c_.lstPlay.ListIndex();
  if (index >= 0) c_.lstPlay.RemoveItem(index);
}

void FrmConfig::cmdUp_Click() {
  int index = c_.lstPlay.ListIndex();
  if (index > 0) SwapEntries(index, index - 1);
}

void FrmConfig::cmdDown_Click() {
  int index = c_.lstPlay.ListIndex();
  if (index >= 0 && index < c_.lstPlay.ListCount() - 1) SwapEntries(index, index + 1);
}

void FrmConfig::SwapEntries(int from, int to) {
  std::string moved = c_.lstPlay.List(from);
  c_.lstPlay.SetList(from, c_.lstPlay.List(to));
  c_.lstPlay.SetList(to, moved);
  c_.lstPlay.SetListIndex(to);
  c_.lstPlay.Refresh();
}

}  // namespace quorvane::config
