// In-memory doubles of the settings dialog's controls and host, behaving as the real controls do
// where the handlers rely on it (the list box's selection follows removals; a drive alone names
// that drive's current directory), and a whole dialog over them, the shared settings store and
// the shared playback component.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "config/control_ids.h"
#include "config/controls.h"
#include "config/frm_config.h"
#include "config/layout.h"
#include "unit/support/fake_playback_component.h"
#include "unit/support/fake_settings_store.h"

namespace quorvane::config {

using fakes::EventLog;

class FakeListBox final : public ListBox {
 public:
  int ListCount() const override { return static_cast<int>(items.size()); }
  int ListIndex() const override { return index; }
  void SetListIndex(int i) override { index = i; }
  std::string List(int i) const override { return items.at(static_cast<size_t>(i)); }
  void SetList(int i, const std::string& text) override { items.at(static_cast<size_t>(i)) = text; }
  void AddItem(const std::string& text) override { items.push_back(text); }
  void RemoveItem(int i) override {
    items.erase(items.begin() + i);
    if (index == i) index = -1;
    if (index > i) --index;
  }
  void Refresh() override { ++refreshes; }

  std::vector<std::string> items;
  int index = -1;
  int refreshes = 0;
};

class FakeDriveList final : public DriveList {
 public:
  std::string Drive() const override { return drive; }
  bool SetDrive(const std::string& text) override {
    std::string wanted = text.substr(0, 2);
    for (char& c : wanted) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!drives.contains(wanted)) return false;
    drive = wanted;
    return true;
  }

  std::set<std::string> drives{"c:", "d:", "e:"};
  std::string drive = "c:";
};

class FakeDirList final : public DirList {
 public:
  std::string Path() const override { return path; }
  bool SetPath(const std::string& text) override {
    if (not_ready.contains(text.substr(0, 2))) return false;
    if (auto current = drive_current.find(text); current != drive_current.end()) {
      path = current->second;
      return true;
    }
    if (!folders.contains(text)) return false;
    path = text;
    return true;
  }

  std::set<std::string> folders{"c:\\", "c:\\work", "c:\\clips", "d:\\", "d:\\clips"};
  std::map<std::string, std::string> drive_current{{"c:", "c:\\work"}, {"d:", "d:\\"}};
  std::set<std::string> not_ready{"e:"};
  std::string path = "c:\\work";
};

class FakeFileList final : public FileList {
 public:
  std::string Path() const override { return path; }
  void SetPath(const std::string& text) override {
    path = text;
    file_name.clear();
  }
  std::string FileName() const override { return file_name; }

  std::string path = "c:\\work";
  std::string file_name;
};

// The option array whose first button has this id, as the layout table draws it: its buttons
// and the one selected at design time.
class FakeOptions final : public OptionArray {
 public:
  explicit FakeOptions(int first) : count(OptionCount(first)) {
    for (int i = 0; i < count; ++i) {
      if (LayoutOf(first + i).flags & kSelected) selected = i;
    }
  }
  int Count() const override { return count; }
  int Selected() const override { return selected; }
  void Select(int i) override { selected = i; }
  int count;
  int selected = 0;
};

class FakeTextBox final : public TextBox {
 public:
  std::string Text() const override { return text; }
  void SetText(const std::string& t) override { text = t; }
  std::string text;
};

class FakeHost final : public ConfigHost {
 public:
  explicit FakeHost(EventLog& log) : log_(log) {}
  void ShowDialog() override { log_.push_back("show"); }
  void ShowMessage(const std::string& text) override {
    log_.push_back("message");
    messages.push_back(text);
  }
  void EndProcess() override { log_.push_back("end"); }
  std::vector<std::string> messages;

 private:
  EventLog& log_;
};

// A whole dialog in its design-time state: the browser at c:\work, x1.0, centre, list order.
struct TestDialog {
  EventLog log;
  FakeDriveList drvSel;
  FakeDirList dirSel;
  FakeFileList filSel;
  FakeListBox lstPlay;
  FakeOptions optSizeSel{kIdOptSizeSel0};
  FakeOptions optPosSel{kIdOptPosSel0};
  FakeOptions optJyunSel{kIdOptJyunSel0};
  FakeTextBox txtSizeFree;
  fakes::FakePlaybackComponent reaAudioPre;
  FakeHost host{log};
  fakes::FakeSettingsStore store{log};
  FrmConfig form{ConfigControls{drvSel, dirSel, filSel, lstPlay, optSizeSel, optPosSel, optJyunSel,
                                txtSizeFree, reaAudioPre},
                 store, host};

  bool Ended() const { return !log.empty() && log.back() == "end"; }
};

}  // namespace quorvane::config
