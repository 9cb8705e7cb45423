#include "config/browser_win.h"

#include <algorithm>

#include "base/text.h"
#include "config/browser_paths.h"
#include "config/controls_win.h"
#include "win/text_win.h"

namespace quorvane::config {
namespace {

std::wstring CurrentDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(path.size()), path.data());
  if (length > path.size()) {
    path.resize(length);
    length = GetCurrentDirectoryW(length, path.data());
  }
  path.resize(length);
  return path;
}

// A drive's letter as the list shows it: lower case ("c:").
wchar_t DriveLetter(char letter) { return static_cast<wchar_t>(base::AsciiLower(letter)); }

// Empties the list box and fills it again without drawing each step: it is drawn once, after.
template <typename Fill>
void Refill(HWND list, Fill fill) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  fill();
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

// "c: [label]" for fixed and RAM drives (asking a removable drive could wait for its medium).
std::wstring DriveCaption(const std::wstring& root) {
  // A drive's root is its ASCII letter, a colon and a backslash.
  std::wstring caption{DriveLetter(static_cast<char>(root[0])), L':'};
  UINT type = GetDriveTypeW(root.c_str());
  if (type != DRIVE_FIXED && type != DRIVE_RAMDISK) return caption;
  wchar_t label[MAX_PATH + 1] = {};
  if (GetVolumeInformationW(root.c_str(), label, MAX_PATH, nullptr, nullptr, nullptr, nullptr, 0) &&
      label[0] != L'\0') {
    caption += L" [";
    caption += label;
    caption += L"]";
  }
  return caption;
}

// Hidden and system entries are not listed, neither folders nor files.
bool Listed(const WIN32_FIND_DATAW& found) {
  return (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

bool IsDirectory(const WIN32_FIND_DATAW& found) {
  return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// In the order of the user's language, letter case ignored, as Explorer and the list boxes sort.
void SortByName(std::vector<std::wstring>& names) {
  std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
           CSTR_LESS_THAN;
  });
}

// Calls visit for every entry of folder (UTF-8), "." and ".." left out.
template <typename Visit>
void ForEachInFolder(const std::string& folder, bool folders_only, Visit visit) {
  std::wstring pattern = win::Widen(JoinEntryPath(folder, "*"));
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileExW(
      pattern.c_str(), FindExInfoBasic, &found,
      folders_only ? FindExSearchLimitToDirectories : FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring_view name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    visit(found);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

std::wstring ComboText(HWND combo, int index) {
  LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return L"";
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                               reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

// Item data of a directory entry: its depth, and whether it is one of the path's open folders.
constexpr LPARAM kOpenFlag = 0x10000;

}  // namespace

DriveListWin::DriveListWin(HWND combo) : combo_(combo) {
  std::wstring roots(GetLogicalDriveStringsW(0, nullptr) + 1, L'\0');
  roots.resize(GetLogicalDriveStringsW(static_cast<DWORD>(roots.size()), roots.data()));
  for (size_t at = 0; at < roots.size();) {
    std::wstring root(roots.c_str() + at);
    at += root.size() + 1;
    if (root.empty()) break;
    SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(DriveCaption(root).c_str()));
  }
  SetDrive(win::Narrow(CurrentDirectory().substr(0, 2)));
}

std::string DriveListWin::Drive() const {
  LRESULT index = SendMessageW(combo_, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return "";
  return win::Narrow(ComboText(combo_, static_cast<int>(index)).substr(0, 2));
}

bool DriveListWin::SetDrive(const std::string& drive) {
  if (drive.size() < 2 || drive[1] != ':') return false;
  wchar_t letter = DriveLetter(drive[0]);
  int count = static_cast<int>(SendMessageW(combo_, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    if (ComboText(combo_, i).substr(0, 1) != std::wstring(1, letter)) continue;
    SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
    return true;
  }
  return false;
}

DirListWin::DirListWin(HWND list) : list_(list) { SetPath(win::Narrow(CurrentDirectory())); }

bool DirListWin::SetPath(const std::string& path) {
  std::wstring wanted = win::Widen(path);
  if (wanted.empty()) return false;
  // A drive alone ("d:") names that drive's current directory.
  DWORD length = GetFullPathNameW(wanted.c_str(), 0, nullptr, nullptr);
  if (length == 0) return false;
  std::wstring full(length, L'\0');
  full.resize(GetFullPathNameW(wanted.c_str(), length, full.data(), nullptr));
  DWORD attributes = GetFileAttributesW(full.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return false;
  }
  folders_ = SplitFolders(win::Narrow(full));
  path_ = JoinFolders(folders_, folders_.size());
  Fill();
  return true;
}

void DirListWin::Fill() {
  std::vector<std::wstring> subfolders;
  ForEachInFolder(path_, true, [&](const WIN32_FIND_DATAW& found) {
    if (IsDirectory(found) && Listed(found)) subfolders.emplace_back(found.cFileName);
  });
  SortByName(subfolders);

  Refill(list_, [&] {
    auto add = [&](const std::wstring& text, LPARAM data) {
      LRESULT at = SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
      SendMessageW(list_, LB_SETITEMDATA, static_cast<WPARAM>(at), data);
    };
    for (size_t depth = 0; depth < folders_.size(); ++depth) {
      add(win::Widen(folders_[depth]), static_cast<LPARAM>(depth) | kOpenFlag);
    }
    for (const std::wstring& name : subfolders) add(name, static_cast<LPARAM>(folders_.size()));
    // The current folder, the last of the path, is the one shown selected.
    SendMessageW(list_, LB_SETCURSEL, folders_.size() - 1, 0);
  });
}

std::string DirListWin::PathOfEntry(int index) const {
  if (index < static_cast<int>(folders_.size())) {
    return JoinFolders(folders_, static_cast<size_t>(index) + 1);
  }
  return JoinEntryPath(path_, ListBoxText(list_, index));
}

bool DirListWin::OpenSelected() {
  int index = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
  if (index < 0) return false;
  std::string folder = PathOfEntry(index);
  if (folder == path_) return false;
  return SetPath(folder);
}

void DirListWin::Draw(const DRAWITEMSTRUCT& item, int dpi) const {
  if (item.itemID == static_cast<UINT>(-1)) return;
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
  bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));

  auto data = static_cast<LPARAM>(item.itemData);
  int depth = static_cast<int>(data & 0xFFFF);
  bool open = (data & kOpenFlag) != 0;
  int unit = MulDiv(8, dpi, 96);
  int x = rect.left + MulDiv(2, dpi, 96) + depth * unit;

  // A folder mark: a tab on a box, filled when the folder is open.
  int height = rect.bottom - rect.top;
  RECT body{x, rect.top + height / 4 + 1, x + unit + unit / 2, rect.bottom - height / 6};
  RECT tab{x, body.top - MulDiv(2, dpi, 96), x + unit / 2 + 1, body.top};
  HBRUSH fill = CreateSolidBrush(open ? RGB(255, 214, 90) : RGB(240, 200, 80));
  FillRect(dc, &tab, fill);
  FillRect(dc, &body, fill);
  FrameRect(dc, &body, GetSysColorBrush(COLOR_GRAYTEXT));
  DeleteObject(fill);

  std::wstring text = win::Widen(ListBoxText(list_, static_cast<int>(item.itemID)));
  RECT text_rect = rect;
  text_rect.left = body.right + MulDiv(3, dpi, 96);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  DrawTextW(dc, text.c_str(), -1, &text_rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &rect);
}

void FileListWin::SetPath(const std::string& path) {
  path_ = path;
  std::vector<std::wstring> names;
  ForEachInFolder(path_, false, [&](const WIN32_FIND_DATAW& found) {
    if (IsDirectory(found) || !Listed(found)) return;
    if (MatchesPattern(win::Narrow(found.cFileName), kClipPattern)) {
      names.emplace_back(found.cFileName);
    }
  });
  // Sorted here, once, rather than by the list box at every insertion: a folder of thousands
  // of clips lists in a fraction of the time.
  SortByName(names);
  Refill(list_, [&] {
    SendMessageW(list_, LB_INITSTORAGE, names.size(), names.size() * 16 * sizeof(wchar_t));
    for (const std::wstring& name : names) {
      SendMessageW(list_, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(name.c_str()));
    }
  });
}

std::string FileListWin::FileName() const {
  int index = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
  return index < 0 ? "" : ListBoxText(list_, index);
}

}  // namespace quorvane::config
