// The saver and the dialog on two monitors side by side, the primary one on the left: the
// picture placed on the primary monitor as it is on one, the other monitor all black, input over
// either ending the saver, and the dialog on the primary monitor. The session's X server shows an
// uncovered monitor grey.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "support/dialog_driver.h"
#include "support/saver_driver.h"
#include "support/support.h"

namespace quorvane::e2e {
namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) {
    reinterpret_cast<std::vector<RECT>*>(data)->push_back(info.rcMonitor);
  }
  return TRUE;
}

std::vector<RECT> Monitors() {
  std::vector<RECT> monitors;
  EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

// The second monitor, to the right of the primary one; the test cannot go on without it.
RECT SecondMonitor() {
  std::vector<RECT> monitors = Monitors();
  EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2) << "the session must show Wine two monitors";
  for (const RECT& m : monitors) {
    if (m.left != 0 || m.top != 0) return m;
  }
  return {};
}

bool Same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The saver's window over the given monitor, or nullptr.
HWND WindowOver(const Process& process, const RECT& monitor) {
  for (HWND window : process.Windows()) {
    if (Same(ScreenRect(window), monitor)) return window;
  }
  return nullptr;
}

// What the screen shows in a rectangle of screen coordinates, 0x00RRGGBB.
std::vector<uint32_t> ScreenArea(const RECT& area) {
  return ScreenPixels(GetDesktopWindow(), area);
}

TEST(TwoMonitors, ThePictureIsOnThePrimaryMonitorAndTheOtherIsBlack) {
  RECT second = SecondMonitor();
  ASSERT_GT(second.right - second.left, 0);
  const RECT primary{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  ASSERT_EQ(second.left, primary.right) << "the second monitor is to the right of the primary";
  // Before the saver starts, the second monitor shows the X server's grey.
  std::vector<uint32_t> before = ScreenArea(second);
  ASSERT_FALSE(before.empty());
  EXPECT_EQ(std::count(before.begin(), before.end(), 0u), 0) << "the monitor was black already";

  Saver saver(SaverSettings({"SizeSel  =1"}, {L"long.rm"}));
  ASSERT_NE(saver.window, nullptr);
  EXPECT_TRUE(Same(ScreenRect(saver.window), primary));
  std::optional<RECT> placed = saver.PlacedRect();
  ASSERT_TRUE(placed);
  EXPECT_EQ(placed->right - placed->left, 160);
  EXPECT_EQ(placed->bottom - placed->top, 120);
  EXPECT_NEAR(placed->left, (primary.right - 160) / 2.0, 0.51);
  EXPECT_NEAR(placed->top, (primary.bottom - 120) / 2.0, 0.51);

  HWND cover = WindowOver(*saver.process, second);
  ASSERT_NE(cover, nullptr) << "no window over the second monitor";
  EXPECT_NE(GetWindowLongW(cover, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  std::vector<uint32_t> covered;
  ASSERT_TRUE(WaitUntil(
      [&] {
        covered = ScreenArea(second);
        return std::all_of(covered.begin(), covered.end(), [](uint32_t p) { return p == 0; });
      },
      5000))
      << "the second monitor is not all black";
  // The picture shows on the primary monitor.
  std::vector<uint32_t> picture = ScreenPixels(saver.component);
  EXPECT_GT(std::count_if(picture.begin(), picture.end(), [](uint32_t p) { return p != 0; }),
            static_cast<long>(picture.size() / 2));
  SaveScreenshot(L"two-monitors-saver");
  std::optional<double> took = saver.EndWithKey();
  ASSERT_TRUE(took);
  EXPECT_EQ(saver.process->ExitCode(), 0u);
}

TEST(TwoMonitors, InputOverEitherMonitorEndsTheSaver) {
  RECT second = SecondMonitor();
  const RECT primary{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  struct Case {
    const char* name;
    bool on_second;
    std::function<void(HWND)> input;
  } cases[] = {
      {"pointer over the primary", false,
       [](HWND w) { PostMouseMove(w, 100, 100), PostMouseMove(w, 100, 101); }},
      {"pointer over the second", true,
       [](HWND w) { PostMouseMove(w, 100, 100), PostMouseMove(w, 100, 101); }},
      {"click on the second", true, [](HWND w) { PostClick(w, 5, 5); }},
      {"key on the primary", false, [](HWND w) { PostKey(w, 'A'); }},
      {"key on the second", true, [](HWND w) { PostKey(w, 'A'); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Saver saver(SaverSettings({}, {L"long.rm"}));
    ASSERT_NE(saver.window, nullptr);
    ASSERT_TRUE(saver.PlacedRect());
    HWND target = WindowOver(*saver.process, c.on_second ? second : primary);
    ASSERT_NE(target, nullptr);
    auto start = GetTickCount64();
    c.input(target);
    ASSERT_TRUE(saver.process->WaitForExit(5000));
    EXPECT_LT(GetTickCount64() - start, 1000u);
    EXPECT_EQ(saver.process->ExitCode(), 0u);
  }
}

TEST(TwoMonitors, TheDialogOpensOnThePrimaryMonitor) {
  SecondMonitor();
  ProgramFolder folder(L"quorvane-two-monitors");
  DialogDriver dialog(folder);
  ASSERT_TRUE(dialog.Opened());
  RECT rect = ScreenRect(dialog.Dialog());
  EXPECT_GE(rect.left, 0);
  EXPECT_GE(rect.top, 0);
  EXPECT_LE(rect.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_LE(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(MonitorFromWindow(dialog.Dialog(), MONITOR_DEFAULTTONULL),
            MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
  SaveScreenshot(L"two-monitors-dialog");
}

}  // namespace
}  // namespace quorvane::e2e
