// The sound output on stand-in devices that play in real time and fail and change as Windows'
// do. Each clip's frame carries its own number, so what the devices played tells which frames
// came out, in what order, where and when.
#include "player/sound/sound_output.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "player/sound/feed_plan.h"
#include "support/stand_in_devices.h"

namespace quorvane::player {
namespace {

using testing::StandInDevices;

constexpr int kRate = 8000;  // the clips' and the devices' alike: frames come out as they went in
constexpr SoundFormat kMono{kRate, 1, 0x4};
constexpr double kFrame = 1e-5;  // frame n sounds at (n + 1) * kFrame

struct Output {
  Output() {
    auto devices = std::make_unique<StandInDevices>();
    control = devices->Control();
    output = CreateSoundOutput(std::move(devices));
    output->SetListener([this] { ++told; });
  }
  ~Output() {
    if (writer.joinable()) writer.join();
  }

  // A clip of this length begins and is written from a thread of its own, as the worker does.
  uint64_t Play(double seconds) {
    if (writer.joinable()) writer.join();
    uint64_t clip = output->BeginClip(kMono);
    writer = std::thread([this, clip, seconds] {
      std::vector<float> piece;
      int frames = static_cast<int>(seconds * kRate);
      for (int at = 0; at < frames; at += 400) {
        piece.clear();
        for (int i = at; i < std::min(frames, at + 400); ++i)
          piece.push_back(static_cast<float>((i + 1) * kFrame));
        output->Write(clip, piece.data(), piece.size());
      }
      output->EndClip(clip);
    });
    return clip;
  }

  // The clip's frames heard, in order, with where and when.
  struct Frame {
    int number;
    std::string device;
    double at;
  };
  std::vector<Frame> Frames() {
    std::vector<Frame> frames;
    for (const testing::Heard& h : control->Played()) {
      if (h.value > 0)
        frames.push_back({static_cast<int>(std::lround(h.value / kFrame)) - 1, h.device, h.at});
    }
    return frames;
  }
  bool Reached(int frame, double seconds = 5) {
    return control->Until(
        [&] {
          std::vector<Frame> frames = Frames();
          return !frames.empty() && frames.back().number >= frame;
        },
        seconds);
  }

  std::shared_ptr<StandInDevices::Shared> control;
  std::unique_ptr<AudioOutput> output;
  std::atomic<int> told{0};
  std::thread writer;
};

// Frames that came out of their order, or twice.
int OutOfOrder(const std::vector<Output::Frame>& frames) {
  int wrong = 0;
  for (size_t i = 1; i < frames.size(); ++i) wrong += frames[i].number <= frames[i - 1].number;
  return wrong;
}

TEST(SoundOutput, PlaysEachClipWholeOnOneStreamAndLetsTheDeviceGoWhenNothingPlays) {
  Output o;
  uint64_t first = o.Play(0.5);
  o.output->Finish(first);
  // What the device holds still plays once the clip's time is over.
  ASSERT_TRUE(o.Reached(3999, 0.2));
  std::vector<Output::Frame> frames = o.Frames();
  ASSERT_EQ(frames.size(), 4000u) << "not every frame, or some twice";
  EXPECT_EQ(OutOfOrder(frames), 0);
  EXPECT_GE(o.told.load(), 1) << "the listener never heard the sound begin";
  EXPECT_EQ(o.output->Heard().state, HeardSound::State::kNone) << "heard to its end";

  uint64_t second = o.Play(0.3);
  o.output->Finish(second);
  ASSERT_TRUE(o.Reached(2399, 0.2));
  EXPECT_EQ(o.Frames().size(), 4000u + 2400u);
  EXPECT_EQ(o.control->Opened(), 1) << "a stream for each clip";
  // Silence a while, then nothing: the device is let go.
  EXPECT_EQ(o.control->OpenNow(), 1);
  EXPECT_TRUE(o.control->Until([&] { return o.control->OpenNow() == 0; }, kCloseAfter + 1));
}

// While the sound plays, where it is heard follows the frames the device plays.
TEST(SoundOutput, SaysWhereTheClipsSoundIsHeard) {
  Output o;
  o.Play(1.0);
  ASSERT_TRUE(o.Reached(2000));
  HeardSound heard = o.output->Heard();
  int playing = o.Frames().back().number;
  ASSERT_EQ(heard.state, HeardSound::State::kHeard);
  EXPECT_NEAR(heard.seconds, playing / double(kRate), 0.03);
}

// A device pulled in the middle of a clip, or a new default chosen: the clip goes on on the
// default device from where its sound was, its time running on meanwhile, within a short gap.
TEST(SoundOutput, FollowsTheDefaultDeviceWhenItsDeviceGoesOrANewOneIsChosen) {
  for (bool pulled : {true, false}) {
    SCOPED_TRACE(pulled ? "the device pulled" : "a new default chosen");
    Output o;
    uint64_t clip = o.Play(2.0);
    ASSERT_TRUE(o.Reached(5600));
    o.control->SetDefault("headphones");
    if (pulled) o.control->Invalidate("speakers");
    std::vector<double> places;  // where the sound was said to be heard, every few ms
    std::atomic<bool> watching{true};
    std::thread watcher([&] {
      while (watching) {
        HeardSound h = o.output->Heard();
        if (h.state == HeardSound::State::kHeard) places.push_back(h.seconds);
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
      }
    });
    o.output->Finish(clip);
    EXPECT_TRUE(o.Reached(15999, 0.2)) << "the clip's end was not heard";
    watching = false;
    watcher.join();
    std::vector<Output::Frame> frames = o.Frames();
    auto first_new = std::find_if(frames.begin(), frames.end(),
                                  [](const Output::Frame& f) { return f.device == "headphones"; });
    ASSERT_NE(first_new, frames.end()) << "nothing was played on the new default";
    ASSERT_NE(first_new, frames.begin());
    const Output::Frame& last_old = *(first_new - 1);
    double gap = first_new->at - last_old.at;
    double skipped = (first_new->number - last_old.number) / double(kRate);
    std::printf("gap %.0f ms, clip sound left out %.0f ms\n", gap * 1000, skipped * 1000);
    EXPECT_LT(gap, 0.15);
    // The clip's time ran on through the gap: what was left out is the gap's length.
    EXPECT_NEAR(skipped, gap, 0.04);
    EXPECT_EQ(OutOfOrder(frames), 0);
    for (size_t i = 1; i < places.size(); ++i) {
      EXPECT_GT(places[i], places[i - 1] - 0.03) << "the clip's time went back";
    }
    EXPECT_EQ(o.control->OpenNow(), 1);
  }
}

TEST(SoundOutput, WithoutAnyDeviceTheClipGoesOnByTheClockUntilOneComes) {
  Output o;
  o.control->SetDefault("");
  auto start = std::chrono::steady_clock::now();
  uint64_t clip = o.Play(0.5);
  EXPECT_TRUE(o.control->Until([&] { return o.told.load() > 0; }, 2)) << "nobody was told";
  EXPECT_EQ(o.output->Heard().state, HeardSound::State::kNone);
  o.output->Finish(clip);
  double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GT(took, 0.4) << "the clip's time did not pass";
  EXPECT_LT(took, 1.5);
  EXPECT_TRUE(o.Frames().empty());

  // A device comes in the middle of a clip: its sound comes back at the clip's place then.
  clip = o.Play(2.0);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  o.control->SetDefault("speakers");
  ASSERT_TRUE(o.Reached(8000));
  int first = o.Frames().front().number;
  EXPECT_NEAR(first / double(kRate), 0.5 + 0.06, 0.1);
  o.output->Finish(clip);
}

// Resting (the display off), the device is let go and nothing plays; afterwards the clip goes on
// from where it was heard.
TEST(SoundOutput, ARestLetsTheDeviceGoAndTheClipGoesOnFromWhereItWasHeard) {
  Output o;
  uint64_t clip = o.Play(2.0);
  ASSERT_TRUE(o.Reached(4000));
  o.output->Rest(true);
  ASSERT_TRUE(o.control->Until([&] { return o.control->OpenNow() == 0; }, 0.1));
  size_t heard = o.Frames().size();
  int last = o.Frames().back().number;
  EXPECT_EQ(o.output->Heard().state, HeardSound::State::kWaiting);
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  EXPECT_EQ(o.Frames().size(), heard) << "sound while resting";
  o.output->Rest(false);
  o.output->Finish(clip);
  EXPECT_TRUE(o.Reached(15999, 0.2));
  std::vector<Output::Frame> frames = o.Frames();
  ASSERT_GT(frames.size(), heard);
  EXPECT_NEAR(frames[heard].number, last + 1, 0.03 * kRate) << "not from where it was heard";
  EXPECT_EQ(o.control->Opened(), 2);
}

// A device that stops answering, or stops playing without a word, holds up nobody: after half a
// second the clip's time runs on by the clock and the worker's writes go on; a new stream plays
// on once the device answers.
TEST(SoundOutput, ADeviceThatStopsAnsweringOrPlayingHoldsUpNobody) {
  for (bool answers : {false, true}) {
    SCOPED_TRACE(answers ? "it answers but plays nothing" : "it answers nothing");
    Output o;
    uint64_t clip = o.Play(3.0);
    ASSERT_TRUE(o.Reached(2000));
    if (answers) {
      o.control->StopPlaying();
    } else {
      o.control->StopAnswering();
    }
    auto since = std::chrono::steady_clock::now();
    EXPECT_TRUE(
        o.control->Until([&] { return o.output->Heard().state == HeardSound::State::kNone; }, 1.0));
    double noticed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
    EXPECT_GT(noticed, 0.3) << "a slow device taken for a lost one";
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    o.control->Answer();
    EXPECT_TRUE(o.control->Until([&] { return o.control->Opened() == 2; }, 2.0));
    o.output->Finish(clip);
    EXPECT_TRUE(o.Reached(23999, 0.2));
  }
}

// Clips begun, dropped and rested, and their devices lost or changed, all at once while another
// thread asks where the sound is: run under ThreadSanitizer too.
TEST(SoundOutput, StreamsStartedStoppedAndLostWhileOthersAskWhereTheSoundIs) {
  std::shared_ptr<StandInDevices::Shared> control;
  {
    Output o;
    control = o.control;
    std::atomic<bool> asking{true};
    std::thread asker([&] {
      while (asking) {
        o.output->Heard();
        std::this_thread::yield();
      }
    });
    std::mt19937 random(7);
    for (int round = 0; round < 25; ++round) {
      uint64_t clip = o.Play(0.2);
      std::this_thread::sleep_for(std::chrono::milliseconds(random() % 60));
      switch (random() % 5) {
        case 0:
          o.control->Invalidate();
          break;
        case 1:
          o.control->SetDefault(round % 2 ? "hdmi" : "speakers");
          break;
        case 2:
          o.output->DropClip();
          break;
        case 3:
          o.output->Rest(true);
          o.output->Rest(false);
          break;
        default:
          break;
      }
      if (random() % 2) o.output->Finish(clip);
    }
    o.output->DropClip();
    asking = false;
    asker.join();
  }
  EXPECT_FALSE(control->ThreadRunning()) << "the output's thread outlived it";
  EXPECT_EQ(control->OpenNow(), 0);
}

}  // namespace
}  // namespace quorvane::player
