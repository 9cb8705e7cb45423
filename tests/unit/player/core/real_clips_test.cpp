// Clips made by Real's own encoders (RealVideo 3 and 4, cook, atrac3, dnet, SureStream, old .ra
// files, broken ones) played, read from the shared folder beside the project when it is there.
#include <gtest/gtest.h>

#include <algorithm>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "player/core/player_core.h"
#include "support/clips.h"
#include "support/manual_time.h"

namespace quorvane::player {
namespace {

using testing::ManualTime;
using testing::RealClip;
using testing::ScratchFolder;
using testing::Signal;
using namespace std::chrono_literals;

// A player on the system's clock whose changes a test can wait for.
struct WatchedPlayer {
  explicit WatchedPlayer(LineDecoder lines = Utf8Line)
      : changed(std::make_shared<Signal>()),
        core(
            nullptr, [changed = changed] { changed->Notify(); }, std::move(lines)) {}
  bool Until(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    return changed->Until(condition, limit);
  }
  std::shared_ptr<Signal> changed;
  PlayerCore core;
};

TEST(RealClips, ABrokenClipGivesWayAtOnce) {
  std::optional<std::string> path = RealClip("truncated_rv40_cook_stub.rm");
  if (!path) GTEST_SKIP() << testing::kNoRealClips;
  WatchedPlayer player;
  auto start = std::chrono::steady_clock::now();
  player.core.SetSource(*path);
  EXPECT_TRUE(player.Until([&] { return player.core.PlayState() == kPlayStateIdle; }, 5s));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
}

// What a file holds decides how it plays, not its name.
TEST(RealClips, ARealMediaFileNamedLikeAMetafilePlaysAsAClip) {
  std::optional<std::string> path = RealClip("truncated_rv30_cook_320x240_bbc_misnamed.ram");
  if (!path) GTEST_SKIP() << testing::kNoRealClips;
  WatchedPlayer player;
  player.core.SetSource(*path);
  ASSERT_TRUE(player.Until([&] { return player.core.ClipHeight() != 0; }, 5s));
  EXPECT_EQ(player.core.ClipWidth(), 320);
  EXPECT_EQ(player.core.ClipHeight(), 240);
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
    WatchedPlayer player(decode);
    player.core.SetSource(folder + "/" + c.name);
    if (c.width == 0) {
      EXPECT_TRUE(player.Until([&] { return player.core.PlayState() == kPlayStateIdle; }, 5s));
      EXPECT_EQ(player.core.ClipHeight(), 0);
      continue;
    }
    ASSERT_TRUE(player.Until([&] { return player.core.ClipWidth() != 0; }, 5s));
    EXPECT_EQ(player.core.ClipWidth(), c.width);
  }
}

// An output that plays in real time (the test's) from its first samples and takes at most 0.8 s
// ahead (Write waits, as the sound output's queue does).
class RealTimeDevice final : public AudioOutput {
 public:
  explicit RealTimeDevice(std::shared_ptr<ManualTime> time) : time_(std::move(time)) {}
  void SetListener(std::function<void()>) override {}
  uint64_t BeginClip(SoundFormat format) override {
    std::lock_guard lock(mutex_);
    rate_ = format.rate;
    dropped_ = false;
    return 1;
  }
  double RoomIn(uint64_t) override {
    std::lock_guard lock(mutex_);
    return std::max(0.0, Ahead() - kMostAhead);
  }
  void Write(uint64_t, const float*, size_t frames) override {
    std::unique_lock lock(mutex_);
    if (written_ == 0) first_ = time_->Elapsed();
    written_ += frames;
    while (Ahead() > kMostAhead && !dropped_) time_->WaitFor(lock, played_, Ahead() - kMostAhead);
  }
  void EndClip(uint64_t) override {}
  void Finish(uint64_t) override {}
  void DropClip() override {
    std::lock_guard lock(mutex_);
    dropped_ = true;
    played_.notify_all();
  }
  HeardSound Heard() override {
    std::lock_guard lock(mutex_);
    if (written_ == 0) return {HeardSound::State::kWaiting};
    if (Played() >= Seconds(written_)) return {};
    return {HeardSound::State::kHeard, Played()};
  }
  void Rest(bool) override {}

 private:
  static constexpr double kMostAhead = 0.8;
  double Seconds(size_t frames) const { return static_cast<double>(frames) / rate_; }
  double Played() const { return time_->Elapsed() - first_; }
  double Ahead() const { return written_ == 0 ? 0 : Seconds(written_) - Played(); }
  std::shared_ptr<ManualTime> time_;
  std::mutex mutex_;
  std::condition_variable played_;
  size_t written_ = 0;
  bool dropped_ = false;
  int rate_ = 0;
  double first_ = 0;
};

// This clip carries its sound 1.7 s behind its pictures: while a picture waits for room the
// sound must go on, or the device runs dry and the clock the pictures wait for stands still
// (heard as a second of silence every few seconds, seen as pictures standing still).
TEST(RealClips, SoundCarriedBehindThePicturesKeepsThePicturesAtTheirPace) {
  std::optional<std::string> path = RealClip("truncated_rv30_cook_320x240_bbc_misnamed.ram");
  if (!path) GTEST_SKIP() << testing::kNoRealClips;
  auto time = std::make_shared<ManualTime>();
  PlayerCore core(
      std::make_unique<RealTimeDevice>(time), [time] { time->Events().Notify(); }, Utf8Line, {},
      time);
  core.SetSource(*path);
  int pictures = 0;
  time->RunUntil([&] { return time->Elapsed() >= 4.0; }, 0.01, 5,
                 [&] {
                   if (core.TakeDuePicture()) ++pictures;
                 });
  EXPECT_GT(pictures, 85);  // 25 pictures a second
}

}  // namespace
}  // namespace quorvane::player
