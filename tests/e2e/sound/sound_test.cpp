// The saver and the dialog's preview with a real-time sound device, as every user has one: what
// they play is recorded from the device and measured (pitch, length, gaps, when it stops), and
// the pictures are read off the screen. The device may also go away in the middle of a clip.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "config/control_ids.h"
#include "support/counter_clip.h"
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

// An environment variable set for the programs the test starts from now on, and taken back.
class ScopedVariable {
 public:
  ScopedVariable(const wchar_t* name, const wchar_t* value) : name_(name) {
    SetEnvironmentVariableW(name, value);
  }
  ~ScopedVariable() { SetEnvironmentVariableW(name_, nullptr); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const wchar_t* name_;
};

// Where each mark ends in a text.
std::vector<size_t> EndsOf(const std::string& text, const std::string& mark) {
  std::vector<size_t> ends;
  for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + 1)) {
    ends.push_back(at + mark.size());
  }
  return ends;
}

// How much sound the device held each time the saver looked before it fed it, in milliseconds,
// from Wine's trace of its sound driver (GetCurrentPadding: "Pad: 20 ms (882)").
std::vector<int> DeviceLooks(const std::string& trace) {
  std::vector<int> looks;
  for (size_t end : EndsOf(trace, "Pad: ")) looks.push_back(std::atoi(trace.c_str() + end));
  return looks;
}

TEST(Sound, TheSaverPlaysAToneAtItsPitchAndLengthWithoutGapsOrRepeats) {
  SoundRecorder recorder;
  ASSERT_TRUE(recorder.Started());
  // Wine's sound driver says what the device holds each time the saver looks: its trace goes to
  // this program's output, from where it stands now.
  std::wstring output = Environment(L"QUORVANE_OUTPUT");
  ASSERT_FALSE(output.empty()) << "QUORVANE_OUTPUT is not set (tests/e2e/wine-run sets it)";
  size_t before = ReadFileBytes(output).value_or("").size();
  std::optional<Saver> saver;
  {
    ScopedVariable trace(L"WINEDEBUG", L"warn+pulse,trace+pulse");
    // The tone, then a clip without sound: the tone's end is heard before the next one.
    saver.emplace(SaverSettings({}, {L"tone-ac3.rm", L"small.rm"}));
  }
  ASSERT_NE(saver->window, nullptr);
  std::wstring clips = ClipsFolder() + L"\\";
  ASSERT_TRUE(WaitUntil([&] { return TextOf(saver->component) == clips + L"small.rm"; }, 15000));
  Sleep(300);
  ASSERT_TRUE(saver->EndWithKey());
  Recording recording = recorder.Stop();
  std::string trace = ReadFileBytes(output).value_or("");
  trace.erase(0, std::min(before, trace.size()));

  // The saver's own part: while the tone plays (from the first look that finds the stream's two
  // periods to the last) it looks again each time the device has played one of its three 10 ms
  // periods, so it never finds it holding less than two; a late wake of the machine's may leave
  // one now and then, and none may find it empty. A thread that slept on its own clock drifted
  // against the device's and found one period left at a tenth of its looks.
  std::vector<int> looks = DeviceLooks(trace);
  auto first = std::find_if(looks.begin(), looks.end(), [](int held) { return held >= 20; });
  auto last = std::find_if(looks.rbegin(), looks.rend(), [](int held) { return held >= 20; });
  ASSERT_TRUE(first != looks.end()) << "Wine's trace has no look of the saver's at the device";
  std::vector<int> playing(first, last.base());
  auto one_period =
      std::count_if(playing.begin(), playing.end(), [](int held) { return held < 20; });
  auto empty = std::count_if(playing.begin(), playing.end(), [](int held) { return held < 10; });
  size_t underflows = EndsOf(trace, "Underflow").size();
  std::printf(
      "the saver looked at the device %zu times while the tone played: %td found one "
      "period left, %td none; Wine's driver said the server ran dry %zu times in the whole run\n",
      playing.size(), one_period, empty, underflows);
  EXPECT_GT(playing.size(), 250u);
  EXPECT_LE(one_period, 3);
  EXPECT_EQ(empty, 0);

  std::optional<Recording::Span> tone = recording.Heard(kTone, kHeard);
  ASSERT_TRUE(tone);
  Recording::Breaks breaks = recording.BreaksOf(kTone, {tone->from + 0.05, tone->to - 0.05});
  double silent = breaks.Silent(), longest_silence = breaks.LongestSilence();
  size_t jumps = breaks.jumps;
  double length = tone->to - tone->from;
  std::printf(
      "tone heard for %.3f s: %zu silences inside it (%.3f s in all, the longest %.3f s), "
      "%zu jumps\n",
      length, breaks.silences.size(), silent, longest_silence, jumps);
  // Nothing lost and nothing played twice: the tone sounds for its three seconds in all. A
  // lost or repeated period of the device (10 ms) shows as a jump; a lost queue's worth, as a
  // length off by far more than this tolerance.
  EXPECT_NEAR(length - silent, 3.0, 0.05);
  // What is heard has breaks of Wine's own: its driver keeps no more than the stream's three
  // periods in the sound server and feeds it from a thread of its own, which now and then comes
  // late (17 ms seen), though the saver's looks show the device held two periods; the server then
  // plays a silence of a block or two, or leaves out the few samples it had passed (a jump).
  // Measured with the looks above as they are asserted, 32 runs: at most 3 silences, 60 ms in
  // all, the longest 30 ms, and no jump. A player that loses or repeats sound at its periods'
  // seams makes a jump every 10 ms; one that starves the device, long silences.
  EXPECT_LE(longest_silence, 0.05)
      << breaks.silences.size() << " silences, " << silent << " s in all";
  EXPECT_LE(silent, 0.1) << breaks.silences.size() << " silences";
  EXPECT_LE(breaks.silences.size() + jumps, 8u);
  const Recording::Span whole = breaks.longest_whole;
  EXPECT_GE(whole.to - whole.from, 0.5);
  EXPECT_NEAR(recording.Frequency(whole.from, whole.to), kTone, kTone * 0.02);
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
  MarkerTone marker;
  SoundRecorder recorder;
  ASSERT_TRUE(recorder.Started());
  Saver saver(SaverSettings({}, {L"tone-ac3.rm", L"small.rm"}));
  std::wstring clips = ClipsFolder() + L"\\";
  ASSERT_TRUE(WaitUntil([&] { return TextOf(saver.component) == clips + L"small.rm"; }, 15000));
  // The next entry's start, placed on the recording by the marker: a wall clock would count the
  // moments a busy machine's sound server held the tone back as the player's.
  Tail next = MarkTheMoment(marker);
  ASSERT_TRUE(next.ok);
  ASSERT_TRUE(saver.EndWithKey());
  Recording recording = recorder.Stop();
  std::optional<Recording::Span> tone = recording.Heard(kTone, kHeard);
  std::optional<Recording::Span> mark = recording.Heard(kMarker, kHeard);
  ASSERT_TRUE(tone && mark);
  double after_the_tone = mark->from - next.marker_latency - tone->to;
  std::printf("tone heard for %.2f s; the next entry started %.0f ms after its end\n",
              tone->to - tone->from, after_the_tone * 1000);
  EXPECT_GE(tone->to - tone->from, 2.95) << "the next entry cut the tone short";
  EXPECT_LE(after_the_tone, 0.5);
}

// The sound server ends the saver's stream in the middle of a clip, as Windows does when the
// device is pulled or its format changed: the clip's sound goes on on a new stream within a short
// gap, and its pictures at their pace.
TEST(Sound, AStreamEndedInTheMiddleOfAClipGoesOnOnANewOneWithinAShortGap) {
  SoundRecorder recorder;
  ASSERT_TRUE(recorder.Started());
  Saver saver(SaverSettings({"SizeSel  =1"}, {L"counter.rm"}));
  ASSERT_TRUE(saver.PlacedRect());
  std::vector<Sample> before = WatchPictures(saver.component, 2.0);
  ASSERT_TRUE(KillSoundStreams()) << "the session has no sound server";
  std::vector<Sample> after = WatchPictures(saver.component, 3.0);
  ASSERT_TRUE(saver.EndWithKey());
  Recording recording = recorder.Stop();

  std::optional<Recording::Span> tone = recording.Heard(kTone, kHeard);
  ASSERT_TRUE(tone) << "the clip's sound was not heard";
  Recording::Breaks breaks = recording.BreaksOf(kTone, {tone->from + 0.05, tone->to - 0.05});
  std::printf("tone heard for %.2f s: %zu silences, the longest %.0f ms\n", tone->to - tone->from,
              breaks.silences.size(), breaks.LongestSilence() * 1000);
  for (const Recording::Span& s : breaks.silences)
    std::printf("  silence from %.3f to %.3f s\n", s.from, s.to);
  // Heard to the end of the recording, the stream's end a short gap in it.
  EXPECT_GT(tone->to - tone->from, 4.5) << "the rest of the clip was silent";
  EXPECT_LE(breaks.LongestSilence(), 0.25);
  ASSERT_FALSE(after.empty());
  EXPECT_NEAR(PicturesPerSecond(after), 15, 2) << "the pictures did not go on at their pace";
  for (size_t i = 1; i < after.size(); ++i) {
    EXPECT_GE(after[i].number, after[i - 1].number) << "at " << after[i].at << " s";
  }
  EXPECT_GE(after.front().number, before.back().number);
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
