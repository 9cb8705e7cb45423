#include "settings/settings_store_win.h"

#include <shlobj.h>
#include <windows.h>

#include "settings/settings_encoding_win.h"
#include "settings/settings_file.h"
#include "settings/settings_location.h"
#include "win/text_win.h"

namespace quorvane::settings {

namespace {

// A settings file is a few kilobytes; a bigger one is read only this far, so a stray file of
// gigabytes can neither exhaust memory nor hold the saver for minutes at each clip.
constexpr DWORD kMostBytesRead = 16 * 1024 * 1024;

std::string LastErrorText(DWORD error) {
  wchar_t* buffer = nullptr;
  DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = n > 0 ? std::wstring(buffer, n) : L"error " + std::to_wstring(error);
  LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
    text.pop_back();
  }
  return win::Narrow(text);
}

// A plain file only: a hidden or system "Quorvane.ini", or a folder of that name, is not one.
bool IsOrdinaryFile(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  constexpr DWORD kNotOrdinary =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return (found.dwFileAttributes & kNotOrdinary) == 0;
}

// "C:" alone names the drive's current folder; a folder of that name is the drive's root.
std::wstring FolderToMakeCurrent(const std::string& folder) {
  std::wstring wide = win::Widen(folder);
  if (!wide.empty() && wide.back() == L':') wide.push_back(L'\\');
  return wide;
}

// The file in one folder, reached by its full path; another folder, the program's, is made
// current before each read and write.
class FolderSettingsStore final : public SettingsStore {
 public:
  FolderSettingsStore(const std::string& folder, const std::string& current)
      : current_(FolderToMakeCurrent(current)),
        path_(win::Widen(folder) + L"\\" + win::Widen(kFileName)) {}

  std::optional<std::string> Load() override {
    SetCurrentDirectoryW(current_.c_str());
    if (!IsOrdinaryFile(path_)) return std::nullopt;
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char chunk[64 * 1024];
    DWORD got = 0;
    while (bytes.size() < kMostBytesRead && ReadFile(file, chunk, sizeof chunk, &got, nullptr) &&
           got > 0) {
      bytes.append(chunk, got);
    }
    CloseHandle(file);
    if (bytes.size() > kMostBytesRead) bytes.resize(kMostBytesRead);
    return DecodeSettingsBytes(bytes);
  }

  std::string Replace(std::string_view text) override {
    SetCurrentDirectoryW(current_.c_str());
    // A read-only settings file is the user's wish to keep it; Windows refuses to move a file
    // over it, and so do we everywhere (Wine would replace it).
    DWORD attributes = GetFileAttributesW(path_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
      return LastErrorText(ERROR_ACCESS_DENIED);
    }
    std::string bytes = EncodeSettingsText(text);
    // Written beside the file and moved over it in one step: the old file stays whole until
    // the new one is complete on disk.
    std::wstring temporary = path_ + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastErrorText(GetLastError());
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && FlushFileBuffers(file);
    DWORD error = GetLastError();
    CloseHandle(file);
    if (ok && MoveFileExW(temporary.c_str(), path_.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return {};
    }
    if (ok) error = GetLastError();
    DeleteFileW(temporary.c_str());
    return LastErrorText(error);
  }

  std::string Location() const override { return win::Narrow(path_); }

 private:
  std::wstring current_;
  std::wstring path_;
};

}  // namespace

std::string ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  size_t slash = path.find_last_of(L"\\/");
  path.resize(slash == std::wstring::npos ? 0 : slash);
  return win::Narrow(path);
}

std::unique_ptr<SettingsStore> CreateSettingsStoreIn(const std::string& folder) {
  return std::make_unique<FolderSettingsStore>(folder, folder);
}

namespace {

// True when a file can be made in the folder: tried for real, since neither attributes nor
// access lists tell it reliably.
bool CanWriteIn(const std::string& folder) {
  std::wstring probe =
      win::Widen(folder) + L"\\Quorvane.ini." + std::to_wstring(GetCurrentProcessId()) + L".probe";
  HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

std::string UserSettingsFolder() {
  wchar_t* roaming = nullptr;
  std::string folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &roaming))) {
    folder = win::Narrow(roaming) + "\\Quorvane";
  }
  CoTaskMemFree(roaming);
  return folder;
}

// Reads the first folder's file, or the second's while the first has none; writes the first.
class LayeredSettingsStore final : public SettingsStore {
 public:
  LayeredSettingsStore(std::unique_ptr<SettingsStore> own, std::unique_ptr<SettingsStore> shared,
                       std::wstring own_folder)
      : own_(std::move(own)), shared_(std::move(shared)), own_folder_(std::move(own_folder)) {}

  std::optional<std::string> Load() override {
    std::optional<std::string> text = own_->Load();
    return text ? text : shared_->Load();
  }
  std::string Replace(std::string_view text) override {
    CreateDirectoryW(own_folder_.c_str(), nullptr);
    return own_->Replace(text);
  }
  std::string Location() const override { return own_->Location(); }

 private:
  std::unique_ptr<SettingsStore> own_;
  std::unique_ptr<SettingsStore> shared_;
  std::wstring own_folder_;
};

}  // namespace

std::unique_ptr<SettingsStore> CreateProgramSettingsStore() {
  std::string program = ProgramFolder();
  return CreateLocatedSettingsStore(
      ChooseSettingsLocation(program, UserSettingsFolder(), CanWriteIn(program)));
}

std::unique_ptr<SettingsStore> CreateLocatedSettingsStore(const SettingsLocation& place) {
  auto own = std::make_unique<FolderSettingsStore>(place.folder, place.current);
  if (!place.read_also) return own;
  return std::make_unique<LayeredSettingsStore>(
      std::move(own), std::make_unique<FolderSettingsStore>(*place.read_also, place.current),
      win::Widen(place.folder));
}

}  // namespace quorvane::settings
