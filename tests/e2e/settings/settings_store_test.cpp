// The settings file on a Japanese Windows (ANSI code page 932): what the writer puts on disk and
// what the readers get back.
#include <gtest/gtest.h>

#include "settings/settings_file.h"
#include "settings/settings_store_win.h"
#include "support/support.h"

namespace quorvane::e2e {
namespace {

using settings::CreateSettingsStoreIn;
using settings::FormatSettings;
using settings::SettingsRecord;

class SettingsStoreTest : public ::testing::Test {
 protected:
  std::unique_ptr<settings::SettingsStore> Store() const {
    return CreateSettingsStoreIn(Narrow(folder_.Path()));
  }
  ProgramFolder folder_{L"quorvane-settings"};
};

TEST_F(SettingsStoreTest, RunsUnderTheJapaneseCodePage) { ASSERT_EQ(GetACP(), 932u); }

TEST_F(SettingsStoreTest, WritesJapanesePathsInShiftJisAndReadsThemBackEqual) {
  SettingsRecord record;
  record.list_dir = "c:";
  record.list_path = "C:\\表ソ";
  record.play_list = {"C:\\表ソ\\クリップ１.rm", "C:\\" + std::string(90, 'a') + ".rm"};
  std::string text = FormatSettings(record);
  EXPECT_EQ(Store()->Replace(text), "");

  std::optional<std::string> bytes = folder_.ReadSettings();
  ASSERT_TRUE(bytes);
  // 表 is 95 5C and ソ is 83 5C in Shift-JIS: their second byte is the backslash's code.
  EXPECT_NE(bytes->find("ListPath =C:\\\x95\x5C\x83\x5C\r\n"), std::string::npos) << *bytes;
  EXPECT_EQ(bytes->find("\xEF\xBB\xBF"), std::string::npos) << "written as UTF-8";
  EXPECT_EQ(Store()->Load(), text);
}

TEST_F(SettingsStoreTest, FallsBackToUtf8WhenTheCodePageCannotHoldAName) {
  // é and 𠮷 have no code in Shift-JIS; "?" or a look-alike would name another file.
  std::string text = FormatSettings(SettingsRecord{"c:", "C:\\café\\𠮷", 1, "", 0, 0, {}});
  EXPECT_EQ(Store()->Replace(text), "");
  std::optional<std::string> bytes = folder_.ReadSettings();
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(Store()->Load(), text);
}

TEST_F(SettingsStoreTest, HiddenSystemOrFolderNamedLikeTheFileCountsAsMissing) {
  EXPECT_EQ(Store()->Load(), std::nullopt);
  folder_.WriteSettings("SizeSel  =3\r\n");
  EXPECT_EQ(Store()->Load(), "SizeSel  =3\r\n");
  std::wstring path = folder_.Join(L"Quorvane.ini");
  for (DWORD attribute : {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM}) {
    SetFileAttributesW(path.c_str(), attribute);
    EXPECT_EQ(Store()->Load(), std::nullopt) << attribute;
  }
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(Store()->Load());
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(path.c_str());
  CreateDirectoryW(path.c_str(), nullptr);
  EXPECT_EQ(Store()->Load(), std::nullopt);
}

TEST_F(SettingsStoreTest, AFailedReplaceLeavesTheOldFileWholeAndNoLeftovers) {
  folder_.WriteSettings("PlayList =old\r\n");
  std::wstring path = folder_.Join(L"Quorvane.ini");
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
  std::unique_ptr<settings::SettingsStore> store = Store();
  std::string reason = store->Replace("PlayList =new\r\n");
  EXPECT_NE(reason, "");
  EXPECT_NE(store->Location().find("Quorvane.ini"), std::string::npos);
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(folder_.ReadSettings(), "PlayList =old\r\n");

  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(folder_.Join(L"*.tmp").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a temporary file was left behind";
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

TEST_F(SettingsStoreTest, BinaryAndHugeFilesReadWithoutFailing) {
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>((i * 131) & 0xFF));
  folder_.WriteSettings(std::string("PlayList =a\0b\r\n", 15) + binary);
  std::optional<std::string> text = Store()->Load();
  ASSERT_TRUE(text);
  EXPECT_EQ(text->substr(0, 13), std::string("PlayList =a\0b", 13));

  folder_.WriteSettings(std::string(40 << 20, 'x'));
  text = Store()->Load();
  ASSERT_TRUE(text);
  EXPECT_EQ(text->size(), 16u << 20);
}

}  // namespace
}  // namespace quorvane::e2e

namespace quorvane::e2e {
namespace {

std::wstring CurrentFolder() {
  wchar_t folder[MAX_PATH];
  DWORD n = GetCurrentDirectoryW(MAX_PATH, folder);
  return std::wstring(folder, n < MAX_PATH ? n : 0);
}

// Every read and write makes the program's folder current, the user's file being reached by its
// full path: a relative playlist entry means a clip beside the program wherever the file is.
TEST(LocatedSettingsStore, ReadsTheSharedFileUntilTheUsersOwnIsWritten) {
  ProgramFolder program(L"quorvane-system");
  ProgramFolder user_parent(L"quorvane-appdata");
  std::wstring user = user_parent.Join(L"Quorvane");
  program.WriteSettings("SizeSel  =3\r\n");
  auto store = settings::CreateLocatedSettingsStore(
      settings::SettingsLocation{Narrow(user), Narrow(program.Path()), Narrow(program.Path())});
  auto elsewhere = [&] { SetCurrentDirectoryW(user_parent.Path().c_str()); };
  elsewhere();
  EXPECT_EQ(store->Load(), "SizeSel  =3\r\n");
  EXPECT_EQ(CurrentFolder(), program.Path()) << "reading the shared file";
  EXPECT_EQ(store->Location(), Narrow(user) + "\\Quorvane.ini");

  elsewhere();
  EXPECT_EQ(store->Replace("SizeSel  =5\r\n"), "");
  EXPECT_EQ(CurrentFolder(), program.Path()) << "writing the user's file";
  EXPECT_EQ(ReadFileBytes(user + L"\\Quorvane.ini"), "SizeSel  =5\r\n");
  EXPECT_EQ(program.ReadSettings(), "SizeSel  =3\r\n") << "the shared file was changed";
  elsewhere();
  EXPECT_EQ(store->Load(), "SizeSel  =5\r\n");
  EXPECT_EQ(CurrentFolder(), program.Path()) << "reading the user's file";

  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  SetCurrentDirectoryW(temp);  // so that both folders can go
}

}  // namespace
}  // namespace quorvane::e2e
