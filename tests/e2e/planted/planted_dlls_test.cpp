// A .scr is started from wherever it was saved, and a Downloads folder or a share may hold a
// DLL named like one of Windows'. With Wine told to take such DLLs from beside a program first
// (WINEDLLOVERRIDES, set for this test by CTest: Windows does so for every DLL that is not one
// of its KnownDLLs), DLLs planted beside the program must not be loaded, and the saver and the
// dialog must still work.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/random_seed.h>
}

#include "config/control_ids.h"
#include "support/dialog_driver.h"
#include "support/saver_driver.h"
#include "support/support.h"
#include "win/system_library_win.h"

namespace quorvane::e2e {
namespace {

// The DLLs the program loads that are none of Windows' KnownDLLs (winmm, bcrypt, avrt, and the
// sound device's mmdevapi and audioses, which COM loads), and two that Windows' own code loads
// by name into the dialog and the saver (uxtheme, dwmapi). Not version.dll: Wine's own user32
// imports it (Windows' does not), so a planted one is loaded into every program under Wine
// before its first instruction runs.
const std::vector<std::wstring> kPlanted = {L"winmm.dll",    L"bcrypt.dll",   L"avrt.dll",
                                            L"mmdevapi.dll", L"audioses.dll", L"uxtheme.dll",
                                            L"dwmapi.dll"};

// Beside this test program: the planted DLL and the unguarded probe.
std::wstring BesideTest(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring self(path, length);
  return self.substr(0, self.find_last_of(L'\\') + 1) + name;
}

class PlantedDlls : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const std::wstring& name : kPlanted) {
      ASSERT_TRUE(CopyFileW(BesideTest(L"planted.dll").c_str(), folder.Join(name).c_str(), FALSE));
    }
  }

  // The planted DLLs that left their mark.
  std::vector<std::wstring> Loaded() const {
    std::vector<std::wstring> loaded;
    for (const std::wstring& name : kPlanted) {
      std::wstring mark = folder.Join(name + L".loaded");
      if (GetFileAttributesW(mark.c_str()) != INVALID_FILE_ATTRIBUTES) loaded.push_back(name);
    }
    return loaded;
  }

  ProgramFolder folder{L"quorvane-planted"};
};

// The planted DLLs would be loaded here: a program that loads them by name gets them.
TEST_F(PlantedDlls, AProgramThatDoesNotGuardAgainstThemLoadsThem) {
  std::wstring probe = folder.Join(L"probe.exe");
  ASSERT_TRUE(CopyFileW(BesideTest(L"quorvane_planted_probe.exe").c_str(), probe.c_str(), FALSE));
  std::wstring names;
  for (const std::wstring& name : kPlanted) names += L" " + name;
  Process unguarded(probe, names.substr(1));
  ASSERT_TRUE(unguarded.WaitForExit(30000));
  EXPECT_EQ(unguarded.ExitCode(), 0u);
  EXPECT_EQ(Loaded(), kPlanted);
}

TEST_F(PlantedDlls, TheSaverLoadsNoneAndPlays) {
  // A clip with sound: the sound device's DLLs are loaded too.
  folder.WriteSettings(SaverSettings({"SizeSel  =1"}, {L"counter.rm"}));
  Process saver(folder.Scr(), L"/s");
  HWND window = saver.WaitForWindow(L"QuorvaneSaver", L"Form1", 15000);
  ASSERT_NE(window, nullptr) << "the saver's window never showed";
  std::vector<HWND> components = Children(window, L"QuorvanePlayback");
  ASSERT_FALSE(components.empty());
  EXPECT_TRUE(WaitUntil([&] { return LitBoxOf(components[0]).right >= 0; }, 10000))
      << "the picture stayed black";
  PostKey(window, 'A');
  ASSERT_TRUE(saver.WaitForExit(5000)) << "a key did not end the saver";
  EXPECT_EQ(saver.ExitCode(), 0u);
  EXPECT_EQ(Loaded(), std::vector<std::wstring>{});
}

TEST_F(PlantedDlls, TheDialogLoadsNoneAndOpens) {
  DialogDriver dialog(folder);
  ASSERT_TRUE(dialog.Opened()) << "the dialog never showed";
  dialog.Click(config::kIdCmdCancel);
  ASSERT_TRUE(dialog.Program().WaitForExit(10000)) << "Cancel did not end the dialog";
  EXPECT_EQ(dialog.Program().ExitCode(), 0u);
  EXPECT_EQ(Loaded(), std::vector<std::wstring>{});
}

// FFmpeg's seeds come from bcrypt through the program's own import slots: bcrypt is loaded from
// the system folder when first asked, and the seeds are random.
TEST(BcryptSlots, FFmpegsRandomSeedComesFromTheSystemsBcrypt) {
  bool loaded_before = GetModuleHandleW(L"bcrypt.dll") != nullptr;
  std::set<uint32_t> seeds;
  for (int i = 0; i < 8; ++i) seeds.insert(av_get_random_seed());
  EXPECT_GT(seeds.size(), 6u);
  HMODULE bcrypt = GetModuleHandleW(L"bcrypt.dll");
  ASSERT_NE(bcrypt, nullptr) << "the seeds did not come from bcrypt";
  if (loaded_before) std::printf("bcrypt was loaded before the first seed was asked for\n");
  wchar_t path[MAX_PATH];
  wchar_t system[MAX_PATH];
  std::wstring loaded(path, GetModuleFileNameW(bcrypt, path, MAX_PATH));
  std::wstring folder(system, GetSystemDirectoryW(system, MAX_PATH));
  EXPECT_EQ(CompareStringOrdinal(loaded.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                                 -1, TRUE),
            CSTR_EQUAL)
      << Narrow(loaded);
}

// A set of functions that work together comes whole or not at all: one missing leaves every one
// empty, so that no caller begins what it cannot end (a raised timer period it cannot lower).
TEST(SystemLibrary, FunctionsComeAllOrNone) {
  HMODULE kernel = win::LoadSystemLibrary(L"kernel32.dll");
  ASSERT_NE(kernel, nullptr);
  decltype(&::GetTickCount64) ticks = nullptr;
  decltype(&::GetCurrentProcessId) process = nullptr;
  EXPECT_FALSE(win::DllFunctions(kernel, win::Wanted{&ticks, "GetTickCount64"},
                                 win::Wanted{&process, "QuorvaneNoSuchFunction"}));
  EXPECT_EQ(ticks, nullptr);
  EXPECT_EQ(process, nullptr);
  ASSERT_TRUE(win::DllFunctions(kernel, win::Wanted{&ticks, "GetTickCount64"},
                                win::Wanted{&process, "GetCurrentProcessId"}));
  EXPECT_EQ(process(), GetCurrentProcessId());
  EXPECT_EQ(win::LoadSystemLibrary(L"quorvane-no-such.dll"), nullptr);
}

}  // namespace
}  // namespace quorvane::e2e
