// Clips made by Real's own encoders (RealVideo 3 and 4, cook, atrac3, dnet, SureStream, old .ra
// files, broken ones), read from the shared folder beside the project when it is there.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "clips.h"
#include "player/clip_decoder.h"
#include "player/player_core.h"

namespace quorvane::player {
namespace {

using testing::RealClip;
using testing::ScratchFolder;

bool WaitFor(const std::function<bool()>& condition, double seconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

struct Decoded {
  int width = 0, height = 0;
  int pictures = 0;
  double first_picture = -1, first_sound = -1;
  double sound_seconds = 0;
};

Decoded DecodeWhole(const std::string& path) {
  Decoded d;
  auto decoder = ClipDecoder::Open(path, [] { return false; });
  if (!decoder) return d;
  Picture picture;
  ClipDecoder::Sound sound;
  for (;;) {
    ClipDecoder::Step step = decoder->Next(0, 0, picture, sound);
    if (step == ClipDecoder::Step::kEnd) break;
    if (step == ClipDecoder::Step::kPicture) {
      if (d.pictures++ == 0) d.first_picture = picture.time;
      d.width = picture.source_width;
      d.height = picture.source_height;
    } else {
      if (d.first_sound < 0) d.first_sound = sound.time;
      d.sound_seconds += sound.Seconds();
    }
  }
  return d;
}

TEST(RealClips, EveryKindPlaysItsPictureAndItsSoundFromTheStart) {
  struct Case {
    const char* name;
    int width, height;
    double least, most;  // seconds of sound: the length the file gives, or what a cut one holds
  } cases[] = {
      {"rv40_cook_helix9_56x44.rm", 56, 44, 29.1, 30.3},
      {"rv30_cook_rp85_Battle_160x100.rm", 160, 100, 117.1, 121.9},
      // Each encoding holds a little less than the file's 6.3 s.
      {"surestream_cook3x_atrac3_helix9.rm", 0, 0, 5.0, 6.3},
      {"dnet_realencoder51_TemptationRag.ra", 0, 0, 171.3, 178.3},
      {"cook_stereo22k_helix11.ra", 0, 0, 204.8, 213.2},
      {"truncated_rv30_cook_320x240_bbc_misnamed.ram", 320, 240, 4.0, 8.5},
  };
  for (const Case& c : cases) {
    std::optional<std::string> path = RealClip(c.name);
    if (!path) {
      GTEST_SKIP() << testing::kNoRealClips;
    }
    SCOPED_TRACE(c.name);
    Decoded d = DecodeWhole(*path);
    EXPECT_EQ(d.width, c.width);
    EXPECT_EQ(d.height, c.height);
    if (c.width > 0) {
      EXPECT_NEAR(d.first_picture, 0.0, 0.2);
    }
    EXPECT_NEAR(d.first_sound, 0.0, 0.1);
    EXPECT_GE(d.sound_seconds, c.least);
    EXPECT_LE(d.sound_seconds, c.most);
  }
}

TEST(RealClips, ABrokenClipGivesWayAtOnce) {
  std::optional<std::string> path = RealClip("truncated_rv40_cook_stub.rm");
  if (!path) GTEST_SKIP() << testing::kNoRealClips;
  PlayerCore core(nullptr, nullptr);
  auto start = std::chrono::steady_clock::now();
  core.SetSource(*path);
  EXPECT_TRUE(WaitFor([&] { return core.PlayState() == kPlayStateIdle; }, 5));
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 3.0);
}

// What a file holds decides how it plays, not its name.
TEST(RealClips, ARealMediaFileNamedLikeAMetafilePlaysAsAClip) {
  std::optional<std::string> path = RealClip("truncated_rv30_cook_320x240_bbc_misnamed.ram");
  if (!path) GTEST_SKIP() << testing::kNoRealClips;
  PlayerCore core(nullptr, nullptr);
  core.SetSource(*path);
  ASSERT_TRUE(WaitFor([&] { return core.ClipHeight() != 0; }, 5));
  EXPECT_EQ(core.ClipWidth(), 320);
  EXPECT_EQ(core.ClipHeight(), 240);
}

TEST(Metafiles, ATextFileIsAMetafileWhateverItsNameAndItsUnreadableLinesArePassedOver) {
  std::string folder = ScratchFolder("metafiles");
  std::filesystem::copy_file(testing::Clip("small.rm"), folder + "/\xE8\xA1\xA8.rm");  // 表.rm
  std::filesystem::copy_file(testing::Clip("qcif.rm"), folder + "/b.rm");
  // Shift-JIS bytes (表.rm), then a plain name; one is not UTF-8, and is passed over as such.
  std::ofstream(folder + "/list.rm", std::ios::binary) << "\x95\x5C.rm\r\nb.rm\r\n";
  std::ofstream(folder + "/nested.ram", std::ios::binary) << "list.rm\n";
  std::ofstream(folder + "/self.ram", std::ios::binary) << "self.ram\n";
  struct Case {
    const char* name;
    bool shift_jis;
    int width;  // 0: nothing plays
  } cases[] = {{"list.rm", false, 176},
               {"list.rm", true, 160},
               {"nested.ram", false, 176},
               {"self.ram", false, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LineDecoder decode = Utf8Line;
    if (c.shift_jis) {
      decode = [](std::string_view line) -> std::optional<std::string> {
        if (line == "\x95\x5C.rm") return "\xE8\xA1\xA8.rm";
        return Utf8Line(line);
      };
    }
    PlayerCore core(nullptr, nullptr, decode);
    core.SetSource(folder + "/" + c.name);
    if (c.width == 0) {
      EXPECT_TRUE(WaitFor([&] { return core.PlayState() == kPlayStateIdle; }, 5));
      EXPECT_EQ(core.ClipHeight(), 0);
      continue;
    }
    ASSERT_TRUE(WaitFor([&] { return core.ClipWidth() != 0; }, 5));
    EXPECT_EQ(core.ClipWidth(), c.width);
  }
}

}  // namespace
}  // namespace quorvane::player

namespace quorvane::player {
namespace {

// Inputs the clip fuzz target found: damaged headers that had FFmpeg ask for a packet of a
// gigabyte or so, over and over, which took seconds each (and as much memory).
TEST(FuzzFindings, DamagedHeadersAskingForHugePacketsEndQuickly) {
  for (const char* name : {"huge-packet-timeout.rm", "huge-packet-slow.rm"}) {
    SCOPED_TRACE(name);
    auto start = std::chrono::steady_clock::now();
    auto decoder =
        ClipDecoder::Open(std::string(QUORVANE_TEST_DATA) + "/" + name, [] { return false; });
    if (decoder) {
      Picture picture;
      ClipDecoder::Sound sound;
      for (int step = 0; step < 300; ++step) {
        if (decoder->Next(64, 48, picture, sound) == ClipDecoder::Step::kEnd) break;
      }
    }
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2.0);
  }
}

}  // namespace
}  // namespace quorvane::player

namespace quorvane::player {
namespace {

// A device that plays in real time from its first samples and takes at most 0.8 s ahead (Write
// waits, as waveOut's blocks do).
class RealTimeDevice final : public AudioOutput {
 public:
  bool Start(SoundFormat format) override {
    rate_ = format.rate;
    return true;
  }
  bool Ready() const override { return Ahead() < kMostAhead; }
  void Write(const int16_t*, size_t frames, const std::function<bool()>& cancelled) override {
    {
      std::lock_guard lock(mutex_);
      if (written_ == 0) first_ = std::chrono::steady_clock::now();
      written_ += frames;
    }
    while (Ahead() > kMostAhead && !cancelled()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  void Drain() override {}
  void Finish(const std::function<bool()>&) override {}
  void Stop() override {}
  std::optional<double> PlayedSeconds() const override {
    std::lock_guard lock(mutex_);
    if (written_ == 0 || Played() >= Seconds(written_)) return std::nullopt;
    return Played();
  }

 private:
  static constexpr double kMostAhead = 0.8;
  double Seconds(size_t frames) const { return static_cast<double>(frames) / rate_; }
  double Played() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - first_).count();
  }
  double Ahead() const {
    std::lock_guard lock(mutex_);
    return written_ == 0 ? 0 : Seconds(written_) - Played();
  }
  mutable std::mutex mutex_;
  size_t written_ = 0;
  int rate_ = 0;
  std::chrono::steady_clock::time_point first_;
};

// This clip carries its sound 1.7 s behind its pictures: while a picture waits for room the
// sound must go on, or the device runs dry and the clock the pictures wait for stands still
// (heard as a second of silence every few seconds, seen as pictures standing still).
TEST(RealClips, SoundCarriedBehindThePicturesKeepsThePicturesAtTheirPace) {
  std::optional<std::string> path = RealClip("truncated_rv30_cook_320x240_bbc_misnamed.ram");
  if (!path) GTEST_SKIP() << testing::kNoRealClips;
  PlayerCore core(std::make_unique<RealTimeDevice>(), nullptr);
  core.SetSource(*path);
  auto start = std::chrono::steady_clock::now();
  int pictures = 0;
  while (std::chrono::steady_clock::now() - start < std::chrono::seconds(4)) {
    if (core.TakeDuePicture()) ++pictures;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_GT(pictures, 85);  // 25 pictures a second
}

}  // namespace
}  // namespace quorvane::player
