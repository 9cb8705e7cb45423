// The saver's window and player run in this test's own process, and the test delivers the
// display's power notifications to that window as Windows does (Wine sends none), while the
// sound device is recorded: off, the sound stops within 100 ms, no stream of the saver's is left
// on the device, no picture is painted and the process takes next to no processor time; on
// again, the clip goes on from where it stood, its pictures with its sound. Last, a key while
// the display is off ends the saver, which ends its process with exit code 0 as it ends its own.
// So the test runs it all in a second copy of this program, which says its verdict before the
// key (a check that failed ends it with 1), and judges that copy's end as Windows reports it.
// QUORVANE_DARK_SECONDS (5 by default) is how long the display stays off, for a measurement of
// the process from outside (scripts/bench).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "support/counter_clip.h"
#include "support/display_power.h"
#include "support/saver_driver.h"
#include "support/saver_here.h"
#include "support/sound.h"
#include "support/support.h"

namespace quorvane::e2e {
namespace {

constexpr double kTone = 1000;    // counter.rm's tone
constexpr double kMarker = 3000;  // the test's own
constexpr double kHeard = 400;

double ProcessorSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](FILETIME t) {
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) *
           1e-7;
  };
  return seconds(kernel) + seconds(user);
}

// Where a moment of the test falls on the recording: the marker played then.
struct Moment {
  double latency = 0;
  bool ok = false;
};
Moment Mark(MarkerTone& marker) {
  std::optional<double> latency = marker.Play(kMarker, 0.2);
  return {latency.value_or(0), latency.has_value()};
}

DWORD DarkMilliseconds() {
  std::wstring value = Environment(L"QUORVANE_DARK_SECONDS");
  double seconds = value.empty() ? 5 : _wtof(value.c_str());
  return static_cast<DWORD>(std::clamp(seconds, 1.0, 600.0) * 1000);
}

// The second copy's part: the saver in this process, and every check.
void RunTheSaverHere() {
  auto recorder = std::make_unique<SoundRecorder>();
  ASSERT_TRUE(recorder->Started());
  SaverHere saver;
  ASSERT_TRUE(StartSaverHere(SaverSettings({"SizeSel  =1"}, {L"counter.rm"}), saver));
  HWND window = saver.window, component = saver.component;
  // What playing takes, for comparison (and as a check that the measure measures).
  double cpu_playing = ProcessorSeconds();
  std::vector<Sample> before = WatchPictures(component, 2.0);
  double playing = (ProcessorSeconds() - cpu_playing) / 2.0 * 100;

  auto marker = std::make_unique<MarkerTone>();
  Moment off = Mark(*marker);
  ASSERT_TRUE(off.ok);
  TellDisplayState(window, kDisplayOff);
  Sleep(300);
  int at_rest = PictureNumber(component);
  marker.reset();  // its own stream closed, only the saver's could be left
  Sleep(200);
  std::optional<int> streams = CountSoundStreams();
  ASSERT_TRUE(streams) << "the session has no sound server";
  EXPECT_EQ(*streams, 0) << "a stream is left on the device while the display is off";
  double cpu_before = ProcessorSeconds();
  DWORD dark = DarkMilliseconds();
  Sleep(dark);
  double share = (ProcessorSeconds() - cpu_before) / (dark / 1000.0) * 100;
  std::printf(
      "display off: %.3f %% of a core over %.1f s (playing, with this test's reading of "
      "the screen: %.2f %%)\n",
      share, dark / 1000.0, playing);
  EXPECT_GT(playing, share) << "the measure of processor time measures nothing";
  EXPECT_LT(share, 1.0);
  EXPECT_EQ(PictureNumber(component), at_rest) << "a picture was painted while the display was off";

  marker = std::make_unique<MarkerTone>();
  Moment on = Mark(*marker);
  ASSERT_TRUE(on.ok);
  TellDisplayState(window, kDisplayOn);
  std::vector<Sample> after = WatchPictures(component, 2.5);
  Recording recording = recorder->Stop();

  // The sound: the tone stops at the first marker and comes back after the second.
  std::optional<Recording::Span> tone = recording.Heard(kTone, kHeard);
  std::optional<Recording::Span> first_mark = recording.Heard(kMarker, kHeard);
  ASSERT_TRUE(tone && first_mark);
  double off_at = first_mark->from - off.latency;
  std::vector<Recording::Span> quiet =
      recording.Silences(kTone, off_at - 0.5, recording.Seconds(), kHeard);
  auto gap = std::find_if(quiet.begin(), quiet.end(),
                          [](const Recording::Span& s) { return s.to - s.from > 1.0; });
  ASSERT_NE(gap, quiet.end()) << "the sound went on while the display was off";
  // The second marker, 0.2 s long, ends the last marker heard.
  double on_at = first_mark->to + 0.005 - 0.2 - on.latency;
  double stopped = gap->from - off_at;
  double back = gap->to - on_at;
  std::printf(
      "sound stopped %.0f ms after the display went off, and came back %.0f ms after it "
      "was on again\n",
      stopped * 1000, back * 1000);
  EXPECT_LE(stopped, 0.1);
  EXPECT_LT(gap->to, recording.Seconds() - 1.0) << "the sound did not come back";
  // A device opened anew, and the silence before its sound.
  EXPECT_LE(back, 0.5) << "the sound came back late";

  // The pictures: from where they stood, at their pace.
  ASSERT_FALSE(after.empty());
  std::printf("pictures: %d before the display went off, %d to %d after, %.1f a second\n",
              before.back().number, after.front().number, after.back().number,
              PicturesPerSecond(after));
  EXPECT_GE(after.front().number, at_rest);
  EXPECT_LE(after.front().number, at_rest + 3) << "the clip went on while the display was off";
  EXPECT_NEAR(PicturesPerSecond(after), 15, 2.5);

  // The end while the display is off: the saver ends this process at a key, with 0.
  TellDisplayState(window, kDisplayOff);
  Sleep(200);
  std::fflush(stdout);
  if (::testing::Test::HasFailure()) return;
  std::printf("[       OK ] every check held; a key now ends the saver and this process\n");
  std::fflush(stdout);
  PostKey(window, 'A');
  Sleep(5000);
  ADD_FAILURE() << "the saver did not end at a key while the display was off";
}

TEST(DisplayPower, NothingIsPlayedToADarkScreenAndTheClipGoesOnWhenItLightsAgain) {
  std::wstring report = Environment(L"QUORVANE_POWER_REPORT");
  if (!report.empty()) {
    _wfreopen(report.c_str(), L"w", stdout);
    RunTheSaverHere();
    if (::testing::Test::HasFailure()) TerminateProcess(GetCurrentProcess(), 1);
    return;
  }
  wchar_t self[MAX_PATH], temp[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  GetTempPathW(MAX_PATH, temp);
  report = std::wstring(temp) + L"quorvane-display-power.txt";
  DeleteFileW(report.c_str());
  SetEnvironmentVariableW(L"QUORVANE_POWER_REPORT", report.c_str());
  Process copy(self, L"--gtest_filter=DisplayPower.*");
  ASSERT_TRUE(copy.Started());
  bool ended = copy.WaitForExit(120000 + DarkMilliseconds());
  std::printf("%s", ReadFileBytes(report).value_or("(no report)\n").c_str());
  ASSERT_TRUE(ended) << "the saver's copy did not end";
  EXPECT_EQ(copy.ExitCode(), 0u);
}

}  // namespace
}  // namespace quorvane::e2e
