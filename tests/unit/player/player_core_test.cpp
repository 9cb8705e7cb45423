#include "player/player_core.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <thread>
#include <vector>

#include "clips.h"

namespace quorvane::player {
namespace {

using testing::Clip;
using testing::ScratchFolder;
using Seconds = std::chrono::duration<double>;

bool WaitFor(const std::function<bool()>& condition, double seconds) {
  auto end = std::chrono::steady_clock::now() + Seconds(seconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// Plays a clip to its end as a window would, taking the pictures as they fall due.
struct Playback {
  int pictures = 0;
  int width = 0;
  int height = 0;
  double seconds = 0;
  bool ended = false;
};

Playback PlayToEnd(PlayerCore& core, const std::string& path, double limit) {
  Playback result;
  auto start = std::chrono::steady_clock::now();
  core.SetSource(path);
  result.ended = WaitFor(
      [&] {
        if (auto picture = core.TakeDuePicture()) {
          ++result.pictures;
          result.width = picture->width;
          result.height = picture->height;
          EXPECT_GE(picture->stride, picture->width * 4);
          EXPECT_GE(picture->bgra.size(), size_t(picture->stride) * size_t(picture->height));
        }
        return core.PlayState() == kPlayStateIdle;
      },
      limit);
  result.seconds = Seconds(std::chrono::steady_clock::now() - start).count();
  return result;
}

// A sound device whose clock runs at speed times the system's from its first samples and
// never past what it was given, as a real one stops when its queue runs dry.
struct DeviceLog {
  std::atomic<size_t> frames{0};
  std::atomic<int> starts{0};
  std::atomic<int> stops{0};
  std::atomic<int> drains{0};
  std::atomic<int> rate{0};
  std::atomic<int> channels{0};
};

class ScriptedOutput final : public AudioOutput {
 public:
  ScriptedOutput(std::shared_ptr<DeviceLog> log, double speed)
      : log_(std::move(log)), speed_(speed) {}
  bool Start(SoundFormat format) override {
    ++log_->starts;
    log_->frames = 0;
    log_->rate = format.rate;
    log_->channels = format.channels;
    return true;
  }
  void Write(const int16_t* samples, size_t frames, const std::function<bool()>&) override {
    EXPECT_NE(samples, nullptr);
    std::lock_guard lock(mutex_);
    if (log_->frames == 0) first_ = std::chrono::steady_clock::now();
    log_->frames += frames;
  }
  bool Ready() const override { return true; }
  void Drain() override { ++log_->drains; }
  void Finish(const std::function<bool()>&) override {}
  void Stop() override { ++log_->stops; }
  std::optional<double> PlayedSeconds() const override {
    std::lock_guard lock(mutex_);
    if (log_->frames == 0) return std::nullopt;
    double played = speed_ * Seconds(std::chrono::steady_clock::now() - first_).count();
    if (played >= static_cast<double>(log_->frames) / log_->rate) return std::nullopt;
    return played;
  }

 private:
  std::shared_ptr<DeviceLog> log_;
  double speed_;
  mutable std::mutex mutex_;
  std::chrono::steady_clock::time_point first_;
};

TEST(PlayerCore, KnowsThePictureSizeThenPlaysTheClipToItsEnd) {
  struct Case {
    const char* clip;
    int width, height;
  } cases[] = {{"small.rm", 160, 120}, {"qcif.rm", 176, 144}, {"medium.rm", 320, 240}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.clip);
    PlayerCore core(nullptr, nullptr);
    core.SetSource(Clip(c.clip));
    EXPECT_EQ(core.PlayState(), kPlayStateOpening);
    EXPECT_EQ(core.ClipHeight(), 0);
    ASSERT_TRUE(WaitFor([&] { return core.ClipHeight() != 0; }, 5));
    EXPECT_EQ(core.ClipHeight(), c.height);
    EXPECT_EQ(core.ClipWidth(), c.width);
    EXPECT_EQ(core.PlayState(), kPlayStatePlaying);
    ASSERT_TRUE(WaitFor([&] { return core.PlayState() == kPlayStateIdle; }, 10));
  }
}

TEST(PlayerCore, PaintsPicturesAtTheRequestedSizeAtTheClipsPace) {
  PlayerCore core(nullptr, nullptr);
  core.SetPictureSize(80, 50);
  Playback run = PlayToEnd(core, Clip("small.rm"), 10);
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.width, 80);
  EXPECT_EQ(run.height, 50);
  // Two seconds at 15 pictures a second, in about two seconds: neither rushed nor stalled.
  EXPECT_GE(run.pictures, 20);
  EXPECT_LE(run.pictures, 31);
  EXPECT_GT(run.seconds, 1.7);
  EXPECT_LT(run.seconds, 4.0);
}

TEST(PlayerCore, SaysWhenTheNextPictureFallsDue) {
  PlayerCore core(nullptr, nullptr);
  EXPECT_EQ(core.NextPictureIn(), std::nullopt);
  core.SetSource(Clip("small.rm"));
  ASSERT_TRUE(WaitFor([&] { return core.NextPictureIn().has_value(); }, 5));
  // Taking the due pictures leaves the next one due within a picture's time (1/15 s).
  int taken = 0;
  for (int i = 0; i < 10; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(70));
    if (core.TakeDuePicture()) ++taken;
    std::optional<double> next = core.NextPictureIn();
    ASSERT_TRUE(next.has_value());
    EXPECT_GT(*next, -0.01);
    EXPECT_LE(*next, 1.0 / 15 + 0.01);
  }
  EXPECT_GE(taken, 8);
  core.SetSource("");
  EXPECT_EQ(core.NextPictureIn(), std::nullopt);
}

TEST(PlayerCore, SoundWithoutPicturePlaysItsLengthWithHeightZero) {
  PlayerCore core(nullptr, nullptr);
  core.SetSource(Clip("tone.rm"));
  ASSERT_TRUE(WaitFor([&] { return core.PlayState() == kPlayStatePlaying; }, 5));
  auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(WaitFor([&] { return core.PlayState() == kPlayStateIdle; }, 10));
  EXPECT_GT(Seconds(std::chrono::steady_clock::now() - start).count(), 1.5);
  EXPECT_EQ(core.ClipHeight(), 0);
}

TEST(PlayerCore, GivesTheWholeSoundToTheDeviceAt44100StereoAndEndsWhenItIsHeard) {
  auto log = std::make_shared<DeviceLog>();
  PlayerCore core(std::make_unique<ScriptedOutput>(log, 1.0), nullptr);
  Playback run = PlayToEnd(core, Clip("tone.rm"), 10);
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(log->starts.load(), 1);
  EXPECT_EQ(log->drains.load(), 1) << "the held-back end of the sound was never queued";
  EXPECT_EQ(log->stops.load(), 1);
  // Two seconds of 8 kHz sound come out as they are, at the clip's own rate: the device (or the
  // system's mixer) brings them to the rate it plays at.
  EXPECT_EQ(log->rate.load(), 8000);
  EXPECT_EQ(log->channels.load(), 1);
  EXPECT_NEAR(static_cast<double>(log->frames.load()), 2.0 * 8000, 0.05 * 8000);
  EXPECT_GT(run.seconds, 1.8);
  EXPECT_LT(run.seconds, 3.5);
}

TEST(PlayerCore, PicturesFollowTheSoundDevicesClock) {
  struct Case {
    double speed;
    double least, most;  // the newest picture's time after 1.2 s
  } cases[] = {{0.5, 0.35, 0.85}, {1.0, 0.95, 1.45}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.speed);
    auto log = std::make_shared<DeviceLog>();
    PlayerCore core(std::make_unique<ScriptedOutput>(log, c.speed), nullptr);
    core.SetSource(Clip("medium.rm"));
    ASSERT_TRUE(WaitFor([&] { return core.PlayState() == kPlayStatePlaying; }, 5));
    auto start = std::chrono::steady_clock::now();
    double newest = -1;
    WaitFor(
        [&] {
          if (auto picture = core.TakeDuePicture()) newest = picture->time;
          return Seconds(std::chrono::steady_clock::now() - start).count() > 1.2;
        },
        5);
    EXPECT_GE(newest, c.least);
    EXPECT_LE(newest, c.most);
    EXPECT_GT(log->frames.load(), 0u);
  }
}

TEST(PlayerCore, AReplacedClipsSoundStopsAtOnce) {
  auto log = std::make_shared<DeviceLog>();
  PlayerCore core(std::make_unique<ScriptedOutput>(log, 1.0), nullptr);
  core.SetSource(Clip("medium.rm"));
  ASSERT_TRUE(WaitFor([&] { return log->frames.load() > 0; }, 5));
  core.SetSource(Clip("small.rm"));
  EXPECT_TRUE(WaitFor([&] { return log->stops.load() == 1; }, 0.5));
  ASSERT_TRUE(WaitFor([&] { return core.ClipWidth() == 160; }, 5));
  EXPECT_EQ(log->starts.load(), 1) << "a clip without sound opened the device";
}

TEST(PlayerCore, EndsAtOnceWhatCannotBePlayed) {
  std::string folder = ScratchFolder("unplayable");
  std::ofstream(folder + "/text.rm") << "not a clip at all\n";
  std::ofstream(folder + "/net.ram") << "rtsp://example.invalid/a.rm\r\nhttp://x/b.rm\r\n";
  std::ofstream(folder + "/empty.rm");
  for (std::string path : {std::string(), folder + "/missing.rm", folder + "/text.rm",
                           folder + "/net.ram", folder + "/empty.rm", folder}) {
    SCOPED_TRACE(path);
    PlayerCore core(nullptr, nullptr);
    core.SetSource(path);
    EXPECT_TRUE(WaitFor([&] { return core.PlayState() == kPlayStateIdle; }, 2));
    EXPECT_EQ(core.ClipHeight(), 0);
    EXPECT_EQ(core.TakeDuePicture(), nullptr);
  }
}

// What a file holds decides, not its name: a RealMedia clip plays under any name, and a file of
// another format (an AVI of MJPEG pictures, which the program's FFmpeg cannot open) named .rm
// ends at once like any other file it cannot play.
TEST(PlayerCore, PlaysARealMediaClipWhateverItsNameSays) {
  std::string folder = ScratchFolder("names");
  std::filesystem::copy_file(Clip("small.rm"), folder + "/picture.jpg");
  std::filesystem::copy_file(Clip("small.rm"), folder + "/no-extension");
  for (std::string path : {folder + "/picture.jpg", folder + "/no-extension"}) {
    SCOPED_TRACE(path);
    PlayerCore core(nullptr, nullptr);
    core.SetSource(path);
    ASSERT_TRUE(WaitFor([&] { return core.ClipHeight() != 0; }, 5));
    EXPECT_EQ(core.ClipWidth(), 160);
    EXPECT_EQ(core.ClipHeight(), 120);
  }

  std::string avi = folder + "/other-format.rm";
  std::string command =
      "ffmpeg -hide_banner -loglevel error -f lavfi -i testsrc=size=96x64:rate=10 "
      "-t 1 -c:v mjpeg -f avi '" +
      avi + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  PlayerCore core(nullptr, nullptr);
  core.SetSource(avi);
  EXPECT_TRUE(WaitFor([&] { return core.PlayState() == kPlayStateIdle; }, 2));
  EXPECT_EQ(core.ClipHeight(), 0);
  EXPECT_EQ(core.TakeDuePicture(), nullptr);
}

TEST(PlayerCore, PlaysTheLocalEntryOfAMetafile) {
  PlayerCore core(nullptr, nullptr);
  core.SetSource(Clip("list.ram"));
  ASSERT_TRUE(WaitFor([&] { return core.ClipHeight() != 0; }, 5));
  EXPECT_EQ(core.ClipWidth(), 320);
}

TEST(PlayerCore, ANewSourceReplacesThePlayingClip) {
  PlayerCore core(nullptr, nullptr);
  core.SetSource(Clip("long.rm"));
  ASSERT_TRUE(WaitFor([&] { return core.PlayState() == kPlayStatePlaying; }, 5));
  Playback run = PlayToEnd(core, Clip("qcif.rm"), 10);
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(core.ClipWidth(), 176);
  EXPECT_LT(run.seconds, 5.0) << "the thirty-second clip went on playing";

  core.SetSource(Clip("long.rm"));
  ASSERT_TRUE(WaitFor([&] { return core.PlayState() == kPlayStatePlaying; }, 5));
  core.SetSource("");
  EXPECT_EQ(core.PlayState(), kPlayStateIdle);
  EXPECT_EQ(core.ClipHeight(), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(core.PlayState(), kPlayStateIdle) << "the replaced clip came back";
  EXPECT_EQ(core.TakeDuePicture(), nullptr);
}

TEST(PlayerCore, ManySourceChangesInARowEndWithTheLastOne) {
  PlayerCore core(nullptr, nullptr);
  const std::string clips[] = {Clip("long.rm"), Clip("medium.rm"), "", Clip("list.ram")};
  for (int i = 0; i < 200; ++i) {
    core.SetSource(clips[i % 4]);
    if (i % 10 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(3));
  }
  Playback run = PlayToEnd(core, Clip("small.rm"), 10);
  EXPECT_TRUE(run.ended);
  EXPECT_EQ(core.ClipWidth(), 160);
  EXPECT_GT(run.pictures, 0);
}

TEST(PlayerCore, TruncatedAndCorruptedClipsEndCleanly) {
  std::ifstream in(Clip("medium.rm"), std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 1000u);
  std::string folder = ScratchFolder("broken");
  std::vector<std::string> paths;
  for (int k = 1; k < 7; ++k) {
    std::string path = folder + "/cut" + std::to_string(k) + ".rm";
    std::ofstream(path, std::ios::binary) << bytes.substr(0, bytes.size() * k / 7);
    paths.push_back(path);
  }
  std::mt19937 random(1234);
  for (int k = 0; k < 6; ++k) {
    std::string damaged = bytes;
    size_t flips = k < 3 ? 20 : 2000;
    for (size_t i = 0; i < flips; ++i)
      damaged[random() % damaged.size()] ^= char(1 << (random() % 8));
    std::string path = folder + "/flipped" + std::to_string(k) + ".rm";
    std::ofstream(path, std::ios::binary) << damaged;
    paths.push_back(path);
  }
  // Cut every seventh byte through the header and the first packets: one player in turn.
  {
    PlayerCore core(nullptr, nullptr);
    for (size_t cut = 0; cut < 1400; cut += 7) {
      std::string path = folder + "/head" + std::to_string(cut) + ".rm";
      std::ofstream(path, std::ios::binary) << bytes.substr(0, cut);
      core.SetSource(path);
      EXPECT_TRUE(WaitFor([&] { return core.PlayState() == kPlayStateIdle; }, 5)) << path;
    }
  }
  // All at once: each player has its own worker thread.
  std::vector<std::unique_ptr<PlayerCore>> cores;
  for (const std::string& path : paths) {
    cores.push_back(std::make_unique<PlayerCore>(nullptr, nullptr));
    cores.back()->SetSource(path);
  }
  for (size_t i = 0; i < cores.size(); ++i) {
    EXPECT_TRUE(WaitFor([&] { return cores[i]->PlayState() == kPlayStateIdle; }, 15)) << paths[i];
  }
}

// A window that wakes only on the core's call or when its next picture falls due, as the
// component's window does with its timer, still gets every picture, and the calls come for
// the size, the end and a picture in an empty queue, not for every picture.
TEST(PlayerCore, WakesTheWindowOnlyWhenItHasNothingElseToWaitFor) {
  std::mutex mutex;
  std::condition_variable woken;
  int changes = 0;
  PlayerCore core(nullptr, [&] {
    std::lock_guard lock(mutex);
    ++changes;
    woken.notify_all();
  });
  core.SetSource(Clip("small.rm"));
  int pictures = 0;
  int stalls = 0;
  auto end = std::chrono::steady_clock::now() + Seconds(10);
  std::unique_lock lock(mutex);
  while (core.PlayState() != kPlayStateIdle && std::chrono::steady_clock::now() < end) {
    int seen = changes;
    std::optional<double> next = core.NextPictureIn();
    // Without a queued picture only the core's call may wake the window: a wait that runs
    // into the bound means the call never came.
    Seconds wait = next ? Seconds(std::max(*next, 0.0)) : Seconds(1);
    if (!woken.wait_for(lock, wait, [&] { return changes != seen; }) && !next) ++stalls;
    lock.unlock();
    if (core.TakeDuePicture()) ++pictures;
    lock.lock();
  }
  EXPECT_EQ(core.PlayState(), kPlayStateIdle);
  EXPECT_EQ(stalls, 0);
  EXPECT_GE(pictures, 20);  // two seconds at 15 pictures a second
  EXPECT_GE(changes, 3);    // playing with its size, the first picture, the end
  EXPECT_LT(changes, pictures / 2);
}

// Buffers of released pictures are reused: one the painter still holds must never be written
// over, not even long after, and it may outlive the player that made it.
TEST(PlayerCore, APictureStillHeldKeepsItsPixelsAndMayOutliveThePlayer) {
  std::shared_ptr<const Picture> kept;
  PixelBytes copy;
  {
    PlayerCore core(nullptr, nullptr);
    core.SetSource(Clip("small.rm"));
    int later = 0;
    EXPECT_TRUE(WaitFor(
        [&] {
          std::shared_ptr<const Picture> picture = core.TakeDuePicture();
          if (picture && !kept) {
            kept = picture;
            copy = picture->bgra;
          } else if (picture) {
            ++later;
            EXPECT_NE(picture->bgra.data(), kept->bgra.data());
          }
          return later >= 12;
        },
        10));
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->bgra, copy);
  }
  EXPECT_EQ(kept->bgra, copy);
  kept.reset();  // after the player: the buffer is freed, not handed back
}

}  // namespace
}  // namespace quorvane::player
