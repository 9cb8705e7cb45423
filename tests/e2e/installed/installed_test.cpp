// The program in a folder that cannot be written, as in the Windows folder: the dialog shows
// the administrator's file beside the program, OK saves the user's own file in
// "%APPDATA%\Quorvane" and leaves the program's folder alone, and the saver follows the user's
// file, a relative playlist entry in it naming a clip beside the program. In a folder that can be
// written the file stays beside the program. run-installed locks the folder (QUORVANE_INSTALLED)
// and runs this program, first to write the administrator's file and a clip beside the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/control_ids.h"
#include "support/dialog_driver.h"

namespace quorvane::e2e {
namespace {

using namespace quorvane::config;
constexpr DWORD kWindowWait = 15000;

std::wstring Environment(const wchar_t* name) {
  wchar_t buffer[32768];
  DWORD n = GetEnvironmentVariableW(name, buffer, 32768);
  return n > 0 && n < 32768 ? std::wstring(buffer, n) : std::wstring();
}

std::wstring Clip(const wchar_t* name) { return ClipsFolder() + L"\\" + name; }

const std::wstring kAdminEntry = L"c:\\管理者\\歓迎表.rm";

std::string AdministratorsFile() {
  return "ListDir  =z:\r\n" + Line("ListPath =", ClipsFolder()) +
         "SizeSel  =3\r\nSizeFree =1.5\r\nPosSel   =1\r\nJyunSel  =0\r\n" +
         Line("PlayList =", Clip(L"long.rm")) + Line("PlayList =", kAdminEntry);
}

// The folder run-installed locked, holding Quorvane.scr and the administrator's file.
std::wstring Installed() { return Environment(L"QUORVANE_INSTALLED"); }
std::wstring InstalledScr() { return Installed() + L"\\Quorvane.scr"; }
std::wstring UserFolder() { return Environment(L"APPDATA") + L"\\Quorvane"; }
std::wstring UserFile() { return UserFolder() + L"\\Quorvane.ini"; }

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Each entry of a folder with its size and last write time, to tell that nothing changed. The
// parent (..) is left out: its time changes whenever anything comes or goes beside the folder.
Texts Snapshot(const std::wstring& folder) {
  Texts entries;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return entries;
  do {
    if (std::wstring_view(found.cFileName) == L"..") continue;
    const FILETIME& time = found.ftLastWriteTime;
    entries.push_back(std::wstring(found.cFileName) + L" " + std::to_wstring(found.nFileSizeLow) +
                      L" " + std::to_wstring(time.dwHighDateTime) + L":" +
                      std::to_wstring(time.dwLowDateTime));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return entries;
}

// A clip under the program's folder, named in settings files by its relative path; and one of
// another size at the same relative path under the user's folder, found only by looking there.
constexpr wchar_t kRelativeClip[] = L"clips\\relative.rm";
constexpr SIZE kRelativeClipSize{160, 120};  // small.rm; the user's is medium.rm, 320 x 240

void PutClip(const std::wstring& folder, const wchar_t* clip) {
  CreateDirectoryW((folder + L"\\clips").c_str(), nullptr);
  EXPECT_TRUE(CopyFileW(Clip(clip).c_str(), (folder + L"\\" + kRelativeClip).c_str(), FALSE));
}

// The size of the first picture the saver started from scr (in cwd, else beside it) shows; it
// must be the clip source.
std::optional<SIZE> SaverPictureSize(const std::wstring& scr,
                                     const std::wstring& source = Clip(L"long.rm"),
                                     const std::wstring& cwd = L"") {
  Process saver(scr, L"/s", cwd);
  HWND window = saver.WaitForWindow(L"QuorvaneSaver", L"Form1", kWindowWait);
  if (!window) return std::nullopt;
  std::vector<HWND> children = Children(window, L"QuorvanePlayback");
  if (children.empty()) return std::nullopt;
  HWND component = children[0];
  if (!WaitUntil([&] { return IsWindowVisible(component) != FALSE; }, kWindowWait)) {
    return std::nullopt;
  }
  EXPECT_EQ(TextOf(component), source);
  RECT rect = RectInParent(component);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// Every test starts without the user's file and leaves the locked folder exactly as it found it.
class InstalledReadOnly : public testing::Test {
 protected:
  void SetUp() override {
    before_ = Snapshot(Installed());
    ASSERT_FALSE(Installed().empty()) << "run through tests/e2e/installed/run-installed";
    // The lock is real: not even a new file can be made in the folder.
    HANDLE probe = CreateFileW((Installed() + L"\\probe").c_str(), GENERIC_WRITE, 0, nullptr,
                               CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (probe != INVALID_HANDLE_VALUE) CloseHandle(probe);
    ASSERT_EQ(probe, INVALID_HANDLE_VALUE) << "the program's folder can be written";
    ASSERT_EQ(ReadFileBytes(Installed() + L"\\Quorvane.ini"), AdministratorsFile());
    RemoveTree(UserFolder());
  }
  void TearDown() override {
    EXPECT_EQ(Snapshot(Installed()), before_) << "the program's folder changed";
    EXPECT_EQ(ReadFileBytes(Installed() + L"\\Quorvane.ini"), AdministratorsFile());
    RemoveTree(UserFolder());
  }

  Texts before_;
};

TEST_F(InstalledReadOnly, WithoutAUserFileTheDialogAndTheSaverFollowTheAdministrator) {
  {
    DialogDriver dialog(InstalledScr(), Installed());
    ASSERT_TRUE(dialog.Opened());
    EXPECT_TRUE(dialog.Checked(kIdOptSizeSel0 + 3));
    EXPECT_TRUE(dialog.Checked(kIdOptPosSel0 + 1));
    EXPECT_EQ(TextOf(dialog.Item(kIdTxtSizeFree)), L"1.5");
    EXPECT_EQ(dialog.ListTexts(kIdLstPlay), (Texts{Clip(L"long.rm"), kAdminEntry}));
    Texts files = dialog.ListTexts(kIdFilSel);
    EXPECT_NE(std::find(files.begin(), files.end(), L"small.rm"), files.end());
    dialog.Click(kIdCmdCancel);
    ASSERT_TRUE(dialog.Program().WaitForExit(10000));
  }
  EXPECT_FALSE(Exists(UserFile()));
  std::optional<SIZE> size = SaverPictureSize(InstalledScr());
  ASSERT_TRUE(size);
  EXPECT_EQ(size->cx, 320);  // x2.0
  EXPECT_EQ(size->cy, 240);
  EXPECT_FALSE(Exists(UserFile()));
}

TEST_F(InstalledReadOnly, OkSavesTheUsersOwnFileWhichTheNextDialogAndTheSaverFollow) {
  {
    DialogDriver dialog(InstalledScr(), Installed());
    ASSERT_TRUE(dialog.Opened());
    dialog.Click(kIdOptSizeSel0);
    dialog.Click(kIdOptPosSel0);
    Texts files = dialog.ListTexts(kIdFilSel);
    auto small = std::find(files.begin(), files.end(), L"small.rm");
    ASSERT_NE(small, files.end());
    dialog.Select(kIdFilSel, static_cast<int>(small - files.begin()));
    dialog.Click(kIdCmdAdd);
    dialog.Click(kIdCmdOk);
    ASSERT_TRUE(dialog.Program().WaitForExit(10000));
  }
  const Texts playlist = {Clip(L"long.rm"), kAdminEntry, Clip(L"small.rm")};
  std::string expected = "ListDir  =z:\r\n" + Line("ListPath =", ClipsFolder()) +
                         "SizeSel  =0\r\nSizeFree =1.5\r\nPosSel   =0\r\nJyunSel  =0\r\n";
  for (const std::wstring& entry : playlist) expected += Line("PlayList =", entry);
  EXPECT_EQ(ReadFileBytes(UserFile()).value_or("<none>"), expected);
  // Nothing else is left in the user's folder (no half-written file).
  Texts user_entries = Snapshot(UserFolder());
  EXPECT_EQ(user_entries.size(), 2u) << ". and Quorvane.ini only";

  {
    DialogDriver dialog(InstalledScr(), Installed());
    ASSERT_TRUE(dialog.Opened());
    EXPECT_TRUE(dialog.Checked(kIdOptSizeSel0));
    EXPECT_FALSE(dialog.Checked(kIdOptSizeSel0 + 3));
    EXPECT_TRUE(dialog.Checked(kIdOptPosSel0));
    EXPECT_EQ(dialog.ListTexts(kIdLstPlay), playlist);
    dialog.Click(kIdCmdCancel);
    ASSERT_TRUE(dialog.Program().WaitForExit(10000));
  }
  std::optional<SIZE> size = SaverPictureSize(InstalledScr());
  ASSERT_TRUE(size);
  EXPECT_EQ(size->cx, 80);  // x0.5, the user's choice
  EXPECT_EQ(size->cy, 60);
  EXPECT_EQ(ReadFileBytes(UserFile()).value_or("<none>"), expected);
}

// With the user's own file in "%APPDATA%\Quorvane", a relative entry still names a clip under the
// program's folder, whatever folder the saver was started in.
TEST_F(InstalledReadOnly, ARelativeEntryInTheUsersFileIsAClipBesideTheProgram) {
  ASSERT_TRUE(CreateDirectoryW(UserFolder().c_str(), nullptr));
  WriteFileBytes(UserFile(), "SizeSel  =1\r\n" + Line("PlayList =", kRelativeClip));
  PutClip(UserFolder(), L"medium.rm");
  std::optional<SIZE> size = SaverPictureSize(InstalledScr(), kRelativeClip, UserFolder());
  ASSERT_TRUE(size);
  EXPECT_EQ(size->cx, kRelativeClipSize.cx) << "the clip under the user's folder played";
  EXPECT_EQ(size->cy, kRelativeClipSize.cy);
}

// A program folder that can be written keeps its own file, even beside a user's file.
TEST(InstalledWritable, OkWritesBesideTheProgramAndNothingInTheUsersFolder) {
  RemoveTree(UserFolder());
  struct Case {
    const char* name;
    bool user_file;
  } cases[] = {{"no user file", false}, {"a user file", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string user_bytes = "SizeSel  =5\r\nPlayList =c:\\user.rm\r\n";
    if (c.user_file) {
      CreateDirectoryW(UserFolder().c_str(), nullptr);
      WriteFileBytes(UserFile(), user_bytes);
    }
    ProgramFolder folder(L"quorvane-portable");
    folder.WriteSettings("SizeSel  =2\r\nPlayList =c:\\beside.rm\r\n");
    {
      DialogDriver dialog(folder);
      ASSERT_TRUE(dialog.Opened());
      EXPECT_TRUE(dialog.Checked(kIdOptSizeSel0 + 2));
      EXPECT_EQ(dialog.ListTexts(kIdLstPlay), Texts{L"c:\\beside.rm"});
      dialog.Click(kIdOptSizeSel0 + 4);
      dialog.Click(kIdCmdOk);
      ASSERT_TRUE(dialog.Program().WaitForExit(10000));
    }
    std::string written = folder.ReadSettings().value_or("<none>");
    EXPECT_NE(written.find("\r\nSizeSel  =4\r\n"), std::string::npos) << written;
    EXPECT_NE(written.find("\r\nPlayList =c:\\beside.rm\r\n"), std::string::npos) << written;
    if (c.user_file) {
      EXPECT_EQ(ReadFileBytes(UserFile()).value_or("<none>"), user_bytes);
    } else {
      EXPECT_FALSE(Exists(UserFolder()));
    }
    RemoveTree(UserFolder());
  }
}

// The file beside the program: a relative entry names a clip there too.
TEST(InstalledWritable, ARelativeEntryIsAClipBesideTheProgram) {
  RemoveTree(UserFolder());
  ASSERT_TRUE(CreateDirectoryW(UserFolder().c_str(), nullptr));
  PutClip(UserFolder(), L"medium.rm");
  ProgramFolder folder(L"quorvane-portable");
  PutClip(folder.Path(), L"small.rm");
  folder.WriteSettings("SizeSel  =1\r\n" + Line("PlayList =", kRelativeClip));
  std::optional<SIZE> size = SaverPictureSize(folder.Scr(), kRelativeClip, UserFolder());
  RemoveTree(UserFolder());
  ASSERT_TRUE(size);
  EXPECT_EQ(size->cx, kRelativeClipSize.cx) << "the clip under the start folder played";
  EXPECT_EQ(size->cy, kRelativeClipSize.cy);
}

}  // namespace
}  // namespace quorvane::e2e

// "--write-administrators-file" puts the administrator's Quorvane.ini beside the installed
// program before run-installed locks the folder; otherwise the tests run.
int main(int argc, char** argv) {
  using namespace quorvane::e2e;
  if (argc == 2 && std::string(argv[1]) == "--write-administrators-file") {
    std::wstring path = Installed() + L"\\Quorvane.ini";
    std::string bytes = AdministratorsFile();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool ok = file != INVALID_HANDLE_VALUE &&
              WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    PutClip(Installed(), L"small.rm");
    ok = ok && GetFileAttributesW((Installed() + L"\\" + kRelativeClip).c_str()) !=
                   INVALID_FILE_ATTRIBUTES;
    return ok && !Installed().empty() && bytes.find('?') == std::string::npos ? 0 : 1;
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
