// The saver and the dialog's preview with a real-time sound device, as every user has one: what
// they play is recorded from the device and measured (pitch, length, gaps, when it stops), and
// the pictures are read off the screen. The device may also go away in the middle of a clip.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "config/control_ids.h"
#include "support/dialog_driver.h"
#include "support/saver_driver.h"
#include "support/sound.h"
#include "support/support.h"

namespace quorvane::e2e {
namespace {

using Clock = std::chrono::steady_clock;

constexpr double kTone = 1000;    // every generated clip's tone
constexpr double kMarker = 3000;  // the test's own marker
constexpr double kHeard = 400;    // the tones' amplitude is about 4000 of 32767

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The number a picture of counter.rm shows, read off the screen: eight columns of 20 pixels
// across its middle row, the lowest bit on the left.
int PictureNumber(HWND component) {
  std::vector<uint32_t> row = ScreenPixels(component, RECT{0, 60, 160, 61});
  if (row.size() != 160) return -1;
  int number = 0;
  for (int bit = 0; bit < 8; ++bit) {
    uint32_t pixel = row[static_cast<size_t>(bit * 20 + 10)];
    int green = static_cast<int>((pixel >> 8) & 0xFF);
    if (green > 128) number |= 1 << bit;
  }
  return number;
}

struct Sample {
  double at;
  int number;
};

// The pictures the component shows, read every few milliseconds for the given time.
std::vector<Sample> WatchPictures(HWND component, double seconds) {
  std::vector<Sample> samples;
  auto start = Clock::now();
  while (SecondsSince(start) < seconds) {
    samples.push_back({SecondsSince(start), PictureNumber(component)});
    Sleep(25);
  }
  return samples;
}

// Pictures a second between the first and the last reading of a watch.
double PicturesPerSecond(const std::vector<Sample>& samples) {
  if (samples.size() < 2) return 0;
  return (samples.back().number - samples.front().number) /
         (samples.back().at - samples.front().at);
}

// How long a sound went on after a moment of the test: the marker tone played at that moment
// places it on the recording, less its own way to the device.
struct Tail {
  Clock::time_point at;
  double marker_latency = 0;
  bool ok = false;
};

Tail MarkTheMoment(MarkerTone& marker) {
  Tail tail;
  tail.at = Clock::now();
  std::optional<double> latency = marker.Play(kMarker, 0.3);
  tail.ok = latency.has_value();
  tail.marker_latency = latency.value_or(0);
  return tail;
}

double SoundAfter(const Recording& recording, const Tail& tail) {
  std::optional<Recording::Span> tone = recording.Heard(kTone, kHeard);
  std::optional<Recording::Span> marker = recording.Heard(kMarker, kHeard);
  if (!tone || !marker) {
    ADD_FAILURE() << "the tone or the marker is not in the recording";
    return 1e9;
  }
  return tone->to - marker->from + tail.marker_latency;
}

TEST(Sound, TheSaverPlaysAToneAtItsPitchAndLengthWithoutGapsOrRepeats) {
  SoundRecorder recorder;
  ASSERT_TRUE(recorder.Started());
  // The tone, then a clip without sound: the tone's end is heard before the next one.
  Saver saver(SaverSettings({}, {L"tone-ac3.rm", L"small.rm"}));
  ASSERT_NE(saver.window, nullptr);
  std::wstring clips = ClipsFolder() + L"\\";
  ASSERT_TRUE(WaitUntil([&] { return TextOf(saver.component) == clips + L"small.rm"; }, 15000));
  Sleep(300);
  ASSERT_TRUE(saver.EndWithKey());
  Recording recording = recorder.Stop();

  std::optional<Recording::Span> tone = recording.Heard(kTone, kHeard);
  ASSERT_TRUE(tone);
  double length = tone->to - tone->from;
  double frequency = recording.Frequency(tone->from + 0.05, tone->to - 0.05);
  std::printf("tone heard for %.3f s at %.1f Hz\n", length, frequency);
  EXPECT_NEAR(length, 3.0, 0.15);
  EXPECT_NEAR(frequency, kTone, kTone * 0.02);
  // No gap: the tone never falls away inside; no repeat or jump: no step between two samples
  // beyond the sine's own steepest one (amplitude times 2 pi f / rate), with a little room.
  std::vector<double> levels = recording.Levels(kTone, 0.01);
  double peak = recording.Peak(tone->from + 0.05, tone->to - 0.05);
  int gaps = 0;
  for (size_t w = static_cast<size_t>((tone->from + 0.05) / 0.01);
       w < static_cast<size_t>((tone->to - 0.05) / 0.01); ++w) {
    if (levels[w] < peak * 0.5) ++gaps;
  }
  // One window of 10 ms may fall away: under Wine the sound engine's thread runs inside the
  // program at normal priority (on Windows it is a service of its own), and on a machine whose
  // two cores are busy it now and then hands the server nothing for a few milliseconds while the
  // player is 600 to 800 ms ahead of it (measured: 1 run in 8 with two processes spinning beside
  // the test). That one dropout is also the one step the check below then excuses.
  EXPECT_LE(gaps, 1) << "the tone fell away in " << gaps << " windows of 10 ms";
  double steepest = peak * 2 * 3.14159265 * kTone / kSoundRate;
  if (gaps == 0) {
    EXPECT_LE(recording.LargestStep(tone->from + 0.05, tone->to - 0.05), steepest * 1.25 + 64);
  }
}

TEST(Sound, PicturesAdvanceInRealTimeOnTheSoundClockFromTheFirstPicture) {
  SoundRecorder recorder;
  ASSERT_TRUE(recorder.Started());
  Saver saver(SaverSettings({"SizeSel  =1"}, {L"counter.rm"}));
  ASSERT_TRUE(saver.PlacedRect());
  std::vector<Sample> samples = WatchPictures(saver.component, 10.5);
  ASSERT_TRUE(saver.EndWithKey());
  Recording recording = recorder.Stop();

  ASSERT_GT(samples.size(), 100u);
  std::printf("first picture read: %d, last: %d after %.2f s\n", samples.front().number,
              samples.back().number, samples.back().at);
  EXPECT_LE(samples.front().number, 2) << "the clip did not start from its first picture";
  double rate = PicturesPerSecond(samples);
  EXPECT_NEAR(rate, 15, 1.5);
  // Never backwards, never a leap of a second or more.
  for (size_t i = 1; i < samples.size(); ++i) {
    EXPECT_GE(samples[i].number, samples[i - 1].number) << "at " << samples[i].at << " s";
    EXPECT_LE(samples[i].number - samples[i - 1].number, 15) << "at " << samples[i].at << " s";
  }
  std::optional<Recording::Span> tone = recording.Heard(kTone, kHeard);
  ASSERT_TRUE(tone) << "the clip's sound was not heard";
  EXPECT_GT(tone->to - tone->from, 9.5);
}

TEST(Sound, StopsWithinATenthOfASecondOfTheSaversEnd) {
  MarkerTone marker;
  SoundRecorder recorder;
  ASSERT_TRUE(recorder.Started());
  Saver saver(SaverSettings({}, {L"counter.rm"}));
  ASSERT_TRUE(saver.PlacedRect());
  Sleep(2500);
  Tail tail = MarkTheMoment(marker);
  ASSERT_TRUE(tail.ok);
  PostKey(saver.window, 'A');
  ASSERT_TRUE(saver.process->WaitForExit(5000));
  EXPECT_EQ(saver.process->ExitCode(), 0u);
  Sleep(700);
  double after = SoundAfter(recorder.Stop(), tail);
  std::printf("sound after the key: %.0f ms\n", after * 1000);
  EXPECT_LE(after, 0.1);
}

TEST(Sound, APreviewReplacedInTheDialogStopsItsSoundWithinATenthOfASecond) {
  ProgramFolder folder(L"quorvane-sound-dialog");
  folder.WriteSettings(Line("PlayList =", ClipsFolder() + L"\\counter.rm") +
                       Line("PlayList =", ClipsFolder() + L"\\small.rm"));
  MarkerTone marker;
  SoundRecorder recorder;
  ASSERT_TRUE(recorder.Started());
  DialogDriver dialog(folder);
  ASSERT_TRUE(dialog.Opened());
  dialog.DoubleClick(config::kIdLstPlay, 0);
  Sleep(2500);
  Tail tail = MarkTheMoment(marker);
  ASSERT_TRUE(tail.ok);
  dialog.DoubleClick(config::kIdLstPlay, 1);
  Sleep(1000);
  double after = SoundAfter(recorder.Stop(), tail);
  std::printf("sound after the new preview: %.0f ms\n", after * 1000);
  EXPECT_LE(after, 0.1);
  dialog.Program().Terminate();
}

TEST(Sound, AClipWithSoundAndNoPictureIsHeardToItsEndThenTheNextEntryStarts) {
  SoundRecorder recorder;
  ASSERT_TRUE(recorder.Started());
  auto start = Clock::now();
  Saver saver(SaverSettings({}, {L"tone-ac3.rm", L"small.rm"}));
  std::wstring clips = ClipsFolder() + L"\\";
  ASSERT_TRUE(WaitUntil([&] { return TextOf(saver.component) == clips + L"tone-ac3.rm"; }, 15000));
  double tone_started = SecondsSince(start);
  ASSERT_TRUE(WaitUntil([&] { return TextOf(saver.component) == clips + L"small.rm"; }, 10000));
  double next_started = SecondsSince(start);
  ASSERT_TRUE(saver.EndWithKey());
  std::optional<Recording::Span> tone = recorder.Stop().Heard(kTone, kHeard);
  ASSERT_TRUE(tone);
  std::printf("tone heard for %.2f s; the next entry started %.2f s after the tone's\n",
              tone->to - tone->from, next_started - tone_started);
  EXPECT_NEAR(tone->to - tone->from, 3.0, 0.15);
  EXPECT_NEAR(next_started - tone_started, 3.0, 0.5);
}

TEST(Sound, WhenTheDeviceGoesAwayThePictureGoesOnAndItsReturnIsUsedByTheNextClip) {
  // The five-second counter clip, then the tone: the tone starts after the device is back.
  Saver saver(SaverSettings({"SizeSel  =1"}, {L"counter-5.rm", L"tone-ac3.rm"}));
  ASSERT_TRUE(saver.PlacedRect());
  Sleep(1000);
  ASSERT_TRUE(StopSoundServer()) << "the session has no sound server to stop";
  // The player tells a device that went away from a slow one after half a second.
  Sleep(700);
  std::vector<Sample> samples = WatchPictures(saver.component, 2.0);
  double rate = PicturesPerSecond(samples);
  std::printf("pictures a second without the device: %.1f\n", rate);
  EXPECT_NEAR(rate, 15, 3) << "the picture stood still when the device went away";
  ASSERT_TRUE(StartSoundServer());
  SoundRecorder recorder;
  ASSERT_TRUE(recorder.Started());
  std::wstring clips = ClipsFolder() + L"\\";
  ASSERT_TRUE(WaitUntil([&] { return TextOf(saver.component) == clips + L"tone-ac3.rm"; }, 10000));
  Sleep(1500);
  std::optional<double> took = saver.EndWithKey();
  ASSERT_TRUE(took);
  EXPECT_LT(*took, 100);
  EXPECT_EQ(saver.process->ExitCode(), 0u);
  EXPECT_TRUE(recorder.Stop().Heard(kTone, kHeard)) << "the device was not used again";
}

}  // namespace
}  // namespace quorvane::e2e
