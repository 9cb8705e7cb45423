// The saver on a clip of Real's own encoders (a generated one where their folder is not there):
// its window, its picture at its own size and lit, and a clean end at a key. Written to hold on a
// machine many times slower than Windows. Its sound is recorded from outside (scripts/test), as
// the emulator may not keep up.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

#include "support/dialog_driver.h"
#include "support/saver_driver.h"
#include "support/support.h"

namespace quorvane::e2e {
namespace {

struct SmokeClip {
  std::wstring path;
  int width, height;
};

SmokeClip ClipToPlay() {
  std::wstring real = Environment(L"QUORVANE_REAL_CLIPS") + L"\\rv30_cook_rp85_Battle_160x100.rm";
  if (GetFileAttributesW(real.c_str()) != INVALID_FILE_ATTRIBUTES) return {real, 160, 100};
  std::printf("The clips of Real's own encoders are not there: a generated clip plays instead\n");
  return {ClipsFolder() + L"\\medium.rm", 320, 240};
}

TEST(Smoke, TheSaverShowsARealClipAndEndsCleanlyAtAKey) {
  SmokeClip clip = ClipToPlay();
  Saver saver(SaverSettings({"SizeSel  =1"}, {clip.path}));
  ASSERT_NE(saver.window, nullptr) << "the saver's window never showed";
  ASSERT_TRUE(saver.Started(clip.path));
  std::optional<RECT> rect = saver.PlacedRect();
  ASSERT_TRUE(rect);
  EXPECT_EQ(rect->right - rect->left, clip.width);
  EXPECT_EQ(rect->bottom - rect->top, clip.height);
  EXPECT_TRUE(WaitUntil([&] { return LitBoxOf(saver.component).right >= 0; }, 4000))
      << "the picture stayed black";
  SaveScreenshot(L"smoke-saver");
  // Long enough for its sound to be heard, at the emulator's pace.
  Sleep(Scaled(1500));
  PostKey(saver.window, 'A');
  ASSERT_TRUE(saver.process->WaitForExit(5000)) << "a key did not end the saver";
  EXPECT_EQ(saver.process->ExitCode(), 0u);
}

}  // namespace
}  // namespace quorvane::e2e
