// In-memory doubles of the settings dialog's controls and host, behaving as the real controls do
// where the handlers rely on it (the list box's selection follows removals; a drive alone names
// that drive's current directory), and a whole dialog over them, made from the layout table, the
// shared settings store and the shared playback component.
#pragma once

#include <map>
#include <memory>
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

// The double of a control that keeps state, by its kind; nullptr for a kind that keeps none.
inline std::unique_ptr<Control> FakeOf(const ControlLayout& control) {
  switch (control.kind) {
    case Kind::kOption:
      return std::make_unique<FakeOptions>(control.id);
    case Kind::kTextBox:
      return std::make_unique<FakeTextBox>();
    case Kind::kDriveList:
      return std::make_unique<FakeDriveList>();
    case Kind::kDirList:
      return std::make_unique<FakeDirList>();
    case Kind::kFileList:
      return std::make_unique<FakeFileList>();
    case Kind::kListBox:
      return std::make_unique<FakeListBox>();
    case Kind::kFrame:
    case Kind::kPushButton:
    case Kind::kLabel:
    case Kind::kPreview:
      break;
  }
  return nullptr;
}

// A whole dialog in its design-time state: the browser at c:\work, x1.0, centre, list order.
// The tests reach the doubles of the controls they look at by name.
struct TestDialog {
  EventLog log;
  ControlStates controls{FakeOf};
  FakeDriveList& drvSel = controls.Of<FakeDriveList>(kIdDrvSel);
  FakeDirList& dirSel = controls.Of<FakeDirList>(kIdDirSel);
  FakeFileList& filSel = controls.Of<FakeFileList>(kIdFilSel);
  FakeListBox& lstPlay = controls.Of<FakeListBox>(kIdLstPlay);
  FakeOptions& optSizeSel = controls.Of<FakeOptions>(kIdOptSizeSel0);
  FakeOptions& optPosSel = controls.Of<FakeOptions>(kIdOptPosSel0);
  FakeOptions& optJyunSel = controls.Of<FakeOptions>(kIdOptJyunSel0);
  FakeTextBox& txtSizeFree = controls.Of<FakeTextBox>(kIdTxtSizeFree);
  fakes::FakePlaybackComponent reaAudioPre;
  FakeHost host{log};
  fakes::FakeSettingsStore store{log};
  FrmConfig form{controls, reaAudioPre, store, host};

  bool Ended() const { return !log.empty() && log.back() == "end"; }
};

}  // namespace quorvane::config
