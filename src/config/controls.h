// The controls of the settings dialog as its handlers see them: small interfaces named after
// the properties the handlers use, and the set of them the form finds by id. The Win32 view
// implements them over real controls, the unit tests over in-memory doubles. Each control owns
// its own state; text is UTF-8. Assigning a property never raises a change event: the form calls
// its handler itself.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "config/layout.h"

namespace quorvane::config {

// A control that keeps state.
class Control {
 public:
  virtual ~Control() = default;
};

// The state of every control that keeps one, made from the layout table and found by the
// control's id (an option array's by its first button's). Owned by the window, or the test, that
// makes the form.
class ControlStates {
 public:
  // make gives a row's state, or nullptr when its control keeps none; it is asked about every row
  // but the later buttons of an option array.
  explicit ControlStates(
      const std::function<std::unique_ptr<Control>(const ControlLayout&)>& make) {
    for (const ControlLayout& control : kLayout) {
      if (IsLaterButton(control)) continue;
      if (std::unique_ptr<Control> state = make(control)) states_[control.id] = std::move(state);
    }
  }

  // The state of the control of this id, as the interface T (a std::bad_cast, or an
  // std::out_of_range, when it has none such).
  template <typename T>
  T& Of(int id) const {
    return dynamic_cast<T&>(*states_.at(id));
  }

 private:
  std::map<int, std::unique_ptr<Control>> states_;
};

// A list box: lstPlay.
class ListBox : public Control {
 public:
  virtual int ListCount() const = 0;
  // The selected entry's index, -1 when none is selected.
  virtual int ListIndex() const = 0;
  virtual void SetListIndex(int index) = 0;
  virtual std::string List(int index) const = 0;
  // Replaces the text of one entry in place.
  virtual void SetList(int index, const std::string& text) = 0;
  virtual void AddItem(const std::string& text) = 0;
  virtual void RemoveItem(int index) = 0;
  // Redraws the list at once.
  virtual void Refresh() = 0;
};

// The drive list: drvSel. Drive() is the current drive as the list reports it ("c:").
class DriveList : public Control {
 public:
  virtual std::string Drive() const = 0;
  // False, and nothing changes, when the list has no such drive.
  virtual bool SetDrive(const std::string& drive) = 0;
};

// The directory list: dirSel. A drive alone ("d:") names that drive's current directory.
class DirList : public Control {
 public:
  virtual std::string Path() const = 0;
  // False, and nothing changes, when the folder does not exist or the drive is not ready.
  virtual bool SetPath(const std::string& path) = 0;
};

// The file list: filSel, listing the clip files of its folder.
class FileList : public Control {
 public:
  virtual std::string Path() const = 0;
  virtual void SetPath(const std::string& path) = 0;
  // The selected file's name, empty when no file is selected.
  virtual std::string FileName() const = 0;
};

// An indexed array of option buttons, exactly one of them selected.
class OptionArray : public Control {
 public:
  virtual int Count() const = 0;
  // The index of the selected button, searched from 0.
  virtual int Selected() const = 0;
  virtual void Select(int index) = 0;
};

// The text box txtSizeFree.
class TextBox : public Control {
 public:
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
};

// What the form needs of its window and the process.
class ConfigHost {
 public:
  virtual ~ConfigHost() = default;
  // Puts the dialog on screen (not modal, no owner) with the focus on OK.
  virtual void ShowDialog() = 0;
  // A message box with an OK button only, no icon, titled "Quorvane".
  virtual void ShowMessage(const std::string& text) = 0;
  // Ends the process at once (the doubles only record it).
  virtual void EndProcess() = 0;
};

}  // namespace quorvane::config
