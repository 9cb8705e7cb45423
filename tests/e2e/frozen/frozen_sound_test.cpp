// The saver ended by a key while its sound server is frozen (stopped where it is: every request
// of the sound driver goes unanswered), ten times, each in the middle of a clip with sound. It
// is judged as Windows and the user see it: the program that started the saver, as Windows
// starts every saver, finds it gone with exit code 0 within 500 ms of the key, its window gone.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/saver_driver.h"
#include "support/sound.h"

namespace quorvane::e2e {
namespace {

// The server runs again whatever happened, for the runs and the tests after.
struct ThawedAtTheEnd {
  ~ThawedAtTheEnd() { ThawSoundServer(); }
};

TEST(FrozenSoundServer, EachEndAtAKeyIsCleanAndQuick) {
  constexpr int kRuns = 10;
  for (int run = 1; run <= kRuns; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    Saver saver(SaverSettings({"SizeSel  =1"}, {L"counter.rm"}));
    ASSERT_TRUE(saver.window);
    ASSERT_TRUE(saver.PlacedRect()) << "the clip never showed";
    Sleep(500);  // into the clip's sound: its stream is on the server
    ThawedAtTheEnd thawed;
    ASSERT_TRUE(FreezeSoundServer()) << "the test needs the session's sound device";
    Sleep(300);
    std::optional<double> took = saver.EndWithKey();
    ASSERT_TRUE(took) << "the saver did not end within 5 s of the key";
    DWORD code = saver.process->ExitCode();
    std::printf("run %d: exit code %lu, %.0f ms after the key\n", run, code, *took);
    EXPECT_LE(*took, 500);
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(IsWindow(saver.window));
  }
}

}  // namespace
}  // namespace quorvane::e2e
