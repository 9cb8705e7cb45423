// Start-up of the real program: which window each command line opens, the password refusal,
// the preview switch and a second copy.
#include <gtest/gtest.h>

#include <chrono>

#include "support/support.h"

namespace quorvane::e2e {
namespace {

constexpr wchar_t kDialogCaption[] = L"Quorvane【設定】";
constexpr wchar_t kSaverCaption[] = L"Form1";
constexpr DWORD kWindowWait = 15000;

std::vector<HWND> VisibleChildren(HWND parent) {
  std::vector<HWND> visible;
  for (HWND child : Children(parent)) {
    if (IsWindowVisible(child)) visible.push_back(child);
  }
  return visible;
}

TEST(Startup, PasswordSwitchShowsOnlyTheRefusalAndEndsWhenClosed) {
  for (const wchar_t* arguments : {L"/a", L"/A 1234"}) {
    SCOPED_TRACE(Narrow(arguments));
    ProgramFolder folder;
    Process scr(folder.Scr(), arguments);
    HWND box = scr.WaitForWindow(L"#32770", L"Quorvane", kWindowWait);
    ASSERT_NE(box, nullptr);
    std::vector<HWND> buttons;
    std::vector<std::wstring> texts;
    for (HWND child : VisibleChildren(box)) {
      if (ClassOf(child) == L"Button") buttons.push_back(child);
      if (ClassOf(child) != L"Static") continue;
      if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        // The message box keeps its icon place; no icon may be in it.
        EXPECT_EQ(SendMessageW(child, STM_GETICON, 0, 0), 0) << "the message box shows an icon";
      } else {
        texts.push_back(TextOf(child));
      }
    }
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(TextOf(buttons[0]), L"OK");
    EXPECT_EQ(texts, std::vector<std::wstring>{L"パスワードには対応していません。"});
    EXPECT_EQ(scr.FindWindow(L"", kDialogCaption), nullptr);
    EXPECT_EQ(scr.FindWindow(L"", kSaverCaption), nullptr);

    EXPECT_TRUE(scr.Running()) << "ended before the message was closed";
    PostMessageW(buttons[0], BM_CLICK, 0, 0);
    EXPECT_TRUE(scr.WaitForExit(10000));
  }
}

TEST(Startup, PreviewSwitchEndsAtOnceWithoutAWindow) {
  ProgramFolder folder;
  auto start = std::chrono::steady_clock::now();
  Process scr(folder.Scr(), L"/p 1234");
  bool window_seen = false;
  bool ended = WaitUntil(
      [&] {
        window_seen = window_seen || !scr.Windows().empty();
        return !scr.Running();
      },
      5000);
  auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  EXPECT_TRUE(ended);
  EXPECT_FALSE(window_seen);
  // The start of a Wine process itself takes a good part of this.
  EXPECT_LT(took.count(), 1000) << "took " << took.count() << " ms";
}

TEST(Startup, ConfigureSwitchOrNoArgumentsOpensTheDialog) {
  for (const wchar_t* arguments : {L"", L"/c", L"/C:1234"}) {
    SCOPED_TRACE(Narrow(arguments));
    ProgramFolder folder;
    Process scr(folder.Scr(), arguments);
    EXPECT_NE(scr.WaitForWindow(L"", kDialogCaption, kWindowWait), nullptr);
    EXPECT_EQ(scr.FindWindow(L"", kSaverCaption), nullptr);
    EXPECT_TRUE(scr.Running());
  }
}

TEST(Startup, AnyOtherArgumentStartsTheSaver) {
  for (const wchar_t* arguments : {L"/s", L"/S", L"/x", L"-s"}) {
    SCOPED_TRACE(Narrow(arguments));
    ProgramFolder folder;
    Process scr(folder.Scr(), arguments);
    HWND saver = scr.WaitForWindow(L"", kSaverCaption, kWindowWait);
    ASSERT_NE(saver, nullptr);
    RECT rect = ScreenRect(saver);
    EXPECT_EQ(rect.right - rect.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom - rect.top, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(scr.FindWindow(L"", kDialogCaption), nullptr);
  }
}

// The command line as the host hands it over: only the one blank or tab after the program's path
// separates it from the arguments, so a second blank makes a key beginning with a blank.
TEST(Startup, OnlyTheOneBlankAfterThePathSeparatesTheArguments) {
  struct Case {
    const wchar_t* after_path;
    const wchar_t* caption;  // the window it opens
  } cases[] = {
      {L"  /c", kSaverCaption},
      {L" \t/c", kSaverCaption},
      {L"\t/c", kDialogCaption},
      {L"/c", kDialogCaption},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.after_path));
    ProgramFolder folder;
    Process scr(folder.Scr(), CommandLine{L"\"" + folder.Scr() + L"\"" + c.after_path});
    EXPECT_NE(scr.WaitForWindow(L"", c.caption, kWindowWait), nullptr);
    const wchar_t* other = c.caption == kSaverCaption ? kDialogCaption : kSaverCaption;
    EXPECT_EQ(scr.FindWindow(L"", other), nullptr);
  }
}

TEST(Startup, ASecondCopyEndsAtOnceAndLeavesTheFirstAlone) {
  ProgramFolder folder;
  Process first(folder.Scr(), L"/c");
  HWND dialog = first.WaitForWindow(L"", kDialogCaption, kWindowWait);
  ASSERT_NE(dialog, nullptr);
  for (const wchar_t* arguments : {L"/s", L"/c", L"/a"}) {
    SCOPED_TRACE(Narrow(arguments));
    Process second(folder.Scr(), arguments);
    bool window_seen = false;
    EXPECT_TRUE(WaitUntil(
        [&] {
          window_seen = window_seen || !second.Windows().empty();
          return !second.Running();
        },
        10000));
    EXPECT_FALSE(window_seen);
  }
  EXPECT_TRUE(first.Running());
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_EQ(first.FindWindow(L"", kDialogCaption), dialog);
}

}  // namespace
}  // namespace quorvane::e2e
