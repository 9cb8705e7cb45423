// The file browser's three Win32 lists: a drop-down list of the machine's drives, a directory
// list in the classic way (the path's folders from the root, then its sub-folders; owner-drawn
// with indents and folder marks) and a sorted list of the clip files of one folder. Each
// wrapper owns its path state; the list windows belong to the dialog. UI thread only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "config/controls.h"

namespace quorvane::config {

class DriveListWin final : public DriveList {
 public:
  // Fills the list with the machine's drives and selects the process's current drive.
  explicit DriveListWin(HWND combo);
  std::string Drive() const override;
  bool SetDrive(const std::string& drive) override;

 private:
  HWND combo_;
};

class DirListWin final : public DirList {
 public:
  // Starts at the process's current directory.
  explicit DirListWin(HWND list);
  std::string Path() const override { return path_; }
  bool SetPath(const std::string& path) override;

  // Opens the folder of the entry under the list's cursor (double click or Enter); true when
  // the path changed, so that the dialog raises dirSel_Change.
  bool OpenSelected();
  void Draw(const DRAWITEMSTRUCT& item, int dpi) const;

 private:
  void Fill();
  std::string PathOfEntry(int index) const;

  HWND list_;
  std::string path_;
  std::vector<std::string> folders_;  // the path's folders from the root
};

class FileListWin final : public FileList {
 public:
  explicit FileListWin(HWND list) : list_(list) {}
  std::string Path() const override { return path_; }
  void SetPath(const std::string& path) override;
  std::string FileName() const override;

 private:
  HWND list_;
  std::string path_;
};

}  // namespace quorvane::config
