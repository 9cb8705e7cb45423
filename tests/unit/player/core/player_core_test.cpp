#include "player/core/player_core.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <vector>

#include "support/clips.h"
#include "support/faulty_files.h"
#include "support/manual_time.h"
#include "support/test_player.h"

namespace quorvane::player {
namespace {

using testing::Clip;
using testing::ManualTime;
using testing::ScratchFolder;
using testing::Signal;
using namespace testing::players;
using namespace std::chrono_literals;

TEST(PlayerCore, KnowsThePictureSizeThenPlaysTheClipToItsEnd) {
  struct Case {
    const char* clip;
    int width, height;
  } cases[] = {{"small.rm", 160, 120}, {"qcif.rm", 176, 144}, {"medium.rm", 320, 240}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.clip);
    Player player;
    PlayerCore& core = player.core;
    core.SetSource(Clip(c.clip));
    EXPECT_EQ(core.PlayState(), kPlayStateOpening);
    EXPECT_EQ(core.ClipHeight(), 0);
    ASSERT_TRUE(player.Until([&] { return core.ClipHeight() != 0; }));
    EXPECT_EQ(core.ClipHeight(), c.height);
    EXPECT_EQ(core.ClipWidth(), c.width);
    EXPECT_EQ(core.PlayState(), kPlayStatePlaying);
    ASSERT_TRUE(player.PlayUntil([&] { return player.Idle(); }, 10));
  }
}

TEST(PlayerCore, PaintsPicturesAtTheRequestedSizeAtTheClipsPace) {
  Player player;
  player.core.SetPictureSize(80, 50);
  Playback run = PlayToEnd(player, Clip("small.rm"), 10);
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.width, 80);
  EXPECT_EQ(run.height, 50);
  // Two seconds at 15 pictures a second, in about two seconds: neither rushed nor stalled.
  EXPECT_GE(run.pictures, 20);
  EXPECT_LE(run.pictures, 31);
  EXPECT_GT(run.seconds, 1.7);
  EXPECT_LT(run.seconds, 4.0);
}

// From the source to the clip's last picture each file is opened once: the metafile that names
// the clip, and the clip itself, whose packets are counted and which is then played from its
// start through the same handle (the first bytes, read to tell what it holds, from memory).
TEST(PlayerCore, OpensEachFileOnceFromTheSourceToTheClipsEnd) {
  std::string folder = ScratchFolder("opened-once");
  std::filesystem::copy_file(Clip("medium.rm"), folder + "/clip.rm");
  std::ofstream(folder + "/list.ram") << "rtsp://example.invalid/a.rm\nclip.rm\n";
  for (const char* source : {"clip.rm", "list.ram"}) {
    SCOPED_TRACE(source);
    auto files = std::make_shared<testing::FaultyFiles>();
    Player player(std::make_shared<ManualTime>(), nullptr, files);
    Playback run = PlayToEnd(player, folder + "/" + source, 10);
    ASSERT_TRUE(run.ended);
    EXPECT_GE(run.pictures, 40);
    std::vector<testing::Operation> log = files->Log();
    auto count = [&log](testing::Operation operation) {
      return std::count(log.begin(), log.end(), operation);
    };
    EXPECT_EQ(count(testing::Operation::kOpen), source == std::string("clip.rm") ? 1 : 2);
    EXPECT_EQ(count(testing::Operation::kRewind), 1) << "after counting its packets";
  }
}

// A clip's first pictures are decoded before its host has placed the window, at the size the
// window had: once it has its size, every picture taken has it, converted again from its frame
// (the same pixels as a picture converted for that size at once), not enlarged from the small one.
TEST(PlayerCore, EveryPictureTakenAfterTheSizeChangedHasTheNewSize) {
  Player player;
  PlayerCore& core = player.core;
  core.SetPictureSize(41, 33);
  core.SetSource(Clip("small.rm"));
  ASSERT_TRUE(player.Until([&] { return core.ClipHeight() != 0 && player.time->Sleepers() > 0; }));
  core.SetPictureSize(320, 240);
  std::vector<std::shared_ptr<const Picture>> shown;
  ASSERT_TRUE(player.time->RunUntil([&] { return player.Idle(); }, kStep, 10,
                                    [&] {
                                      if (auto picture = core.TakeDuePicture())
                                        shown.push_back(picture);
                                    }));
  ASSERT_GE(shown.size(), 20u);
  double previous = -1;
  for (const auto& picture : shown) {
    EXPECT_EQ(picture->width, 320);
    EXPECT_EQ(picture->height, 240);
    EXPECT_GT(picture->time, previous);
    previous = picture->time;
  }
  ASSERT_TRUE(shown.front()->frame);
  Picture direct;
  PictureConverter converter;
  ASSERT_TRUE(converter.Convert(shown.front()->frame.get(), 320, 240, direct));
  EXPECT_TRUE(std::equal(direct.bgra.begin(), direct.bgra.begin() + direct.stride * 240,
                         shown.front()->bgra.begin()));
  // The picture on show, when the window changes size again.
  core.SetPictureSize(160, 120);
  std::shared_ptr<const Picture> again = core.AtPictureSize(shown.back());
  EXPECT_EQ(again->width, 160);
  EXPECT_EQ(again->height, 120);
  EXPECT_EQ(again->time, shown.back()->time);
  EXPECT_EQ(core.AtPictureSize(again), again) << "converted again at the size it has";
}

TEST(PlayerCore, SaysWhenTheNextPictureFallsDue) {
  Player player;
  PlayerCore& core = player.core;
  EXPECT_EQ(core.NextPictureIn(), std::nullopt);
  core.SetSource(Clip("small.rm"));
  ASSERT_TRUE(player.Until([&] { return core.NextPictureIn().has_value(); }));
  // Taking the due pictures leaves the next one due within a picture's time (1/15 s).
  int taken = 0;
  for (int i = 0; i < 10; ++i) {
    double then = player.time->Elapsed() + 0.07;
    // 70 ms on, with the worker done with what it had to do meanwhile.
    ASSERT_TRUE(player.time->RunUntil(
        [&] { return player.time->Elapsed() >= then && player.time->Sleepers() > 0; }, 0.07, 1));
    if (core.TakeDuePicture()) ++taken;
    ASSERT_TRUE(player.Until([&] { return player.time->Sleepers() > 0; }));
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
  Player player;
  player.core.SetSource(Clip("tone.rm"));
  ASSERT_TRUE(player.Until([&] { return player.core.PlayState() == kPlayStatePlaying; }));
  double start = player.time->Elapsed();
  ASSERT_TRUE(player.PlayUntil([&] { return player.Idle(); }, 10));
  EXPECT_GT(player.time->Elapsed() - start, 1.5);
  EXPECT_EQ(player.core.ClipHeight(), 0);
}

TEST(PlayerCore, GivesTheWholeSoundToTheOutputAtTheClipsRateAndEndsWhenItIsHeard) {
  PlayerWithSound p;
  Playback run = PlayToEnd(p.player, Clip("tone.rm"), 10);
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(p.log->starts.load(), 1);
  EXPECT_EQ(p.log->ends.load(), 1) << "the output was never told the sound had ended";
  EXPECT_EQ(p.log->drops.load(), 0) << "a clip that played to its end was cut off";
  // Two seconds of 8 kHz sound come out as they are, at the clip's own rate: the output brings
  // them to the device's form in one step.
  EXPECT_EQ(p.log->rate.load(), 8000);
  EXPECT_EQ(p.log->channels.load(), 1);
  EXPECT_NEAR(static_cast<double>(p.log->frames.load()), 2.0 * 8000, 0.05 * 8000);
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
    PlayerWithSound p({.speed = c.speed});
    PlayerCore& core = p.player.core;
    core.SetSource(Clip("medium.rm"));
    ASSERT_TRUE(p.player.Until([&] { return core.PlayState() == kPlayStatePlaying; }));
    double then = p.time->Elapsed() + 1.2;
    double newest = -1;
    p.player.PlayUntil([&] { return p.time->Elapsed() > then; }, 5,
                       [&](const Picture& picture) { newest = picture.time; });
    EXPECT_GE(newest, c.least);
    EXPECT_LE(newest, c.most);
    EXPECT_GT(p.log->frames.load(), 0u);
  }
}

// A clip with sound waits for its sound: no picture before the device's position moves, and
// the first one as its sound is heard; where the device goes away first, the pictures go on
// without it.
TEST(PlayerCore, AClipWithSoundShowsItsFirstPictureWhenItsSoundIsHeard) {
  for (bool lost : {false, true}) {
    SCOPED_TRACE(lost ? "the device goes away" : "the device plays");
    PlayerWithSound p({.still = 0.2, .lead_in = 0.3, .lost = lost});
    PlayerCore& core = p.player.core;
    core.SetSource(Clip("medium.rm"));
    ASSERT_TRUE(p.player.Until([&] { return p.log->frames.load() > 0; }));
    double written = p.time->Elapsed();
    double first_shown = -1;
    p.player.PlayUntil([&] { return first_shown >= 0; }, 2,
                       [&](const Picture& picture) {
                         EXPECT_EQ(picture.time, 0.0);
                         first_shown = p.time->Elapsed() - written;
                       });
    if (lost) {
      // The clock starts as soon as the device is known to be gone.
      EXPECT_GE(first_shown, 0.2);
      EXPECT_LE(first_shown, 0.2 + 3 * kStep);
    } else {
      EXPECT_NEAR(first_shown, 0.3, 1.5 * kStep) << "not when its sound was heard";
    }
  }
}

TEST(PlayerCore, AReplacedClipsSoundStopsAtOnce) {
  PlayerWithSound p;
  PlayerCore& core = p.player.core;
  core.SetSource(Clip("medium.rm"));
  ASSERT_TRUE(p.player.Until([&] { return p.log->frames.load() > 0; }));
  core.SetSource(Clip("small.rm"));
  // No clip time passes: the stop comes from the new source alone.
  EXPECT_TRUE(p.player.Until([&] { return p.log->drops.load() == 1; }, 500ms));
  ASSERT_TRUE(p.player.Until([&] { return core.ClipWidth() == 160; }));
  EXPECT_EQ(p.log->starts.load(), 1) << "a clip without sound opened the device";
}

TEST(PlayerCore, EndsAtOnceWhatCannotBePlayed) {
  std::string folder = ScratchFolder("unplayable");
  std::ofstream(folder + "/text.rm") << "not a clip at all\n";
  std::ofstream(folder + "/net.ram") << "rtsp://example.invalid/a.rm\r\nhttp://x/b.rm\r\n";
  std::ofstream(folder + "/empty.rm");
  for (std::string path : {std::string(), folder + "/missing.rm", folder + "/text.rm",
                           folder + "/net.ram", folder + "/empty.rm", folder}) {
    SCOPED_TRACE(path);
    Player player;
    player.core.SetSource(path);
    // Without any clip time passing.
    EXPECT_TRUE(player.Until([&] { return player.Idle(); }, 2s));
    EXPECT_EQ(player.core.ClipHeight(), 0);
    EXPECT_EQ(player.core.TakeDuePicture(), nullptr);
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
    Player player;
    player.core.SetSource(path);
    ASSERT_TRUE(player.Until([&] { return player.core.ClipHeight() != 0; }));
    EXPECT_EQ(player.core.ClipWidth(), 160);
    EXPECT_EQ(player.core.ClipHeight(), 120);
  }

  std::string avi = folder + "/other-format.rm";
  std::string command =
      "ffmpeg -hide_banner -loglevel error -f lavfi -i testsrc=size=96x64:rate=10 "
      "-t 1 -c:v mjpeg -f avi '" +
      avi + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  Player player;
  player.core.SetSource(avi);
  EXPECT_TRUE(player.Until([&] { return player.Idle(); }, 2s));
  EXPECT_EQ(player.core.ClipHeight(), 0);
  EXPECT_EQ(player.core.TakeDuePicture(), nullptr);
}

TEST(PlayerCore, PlaysTheLocalEntryOfAMetafile) {
  Player player;
  player.core.SetSource(Clip("list.ram"));
  ASSERT_TRUE(player.Until([&] { return player.core.ClipHeight() != 0; }));
  EXPECT_EQ(player.core.ClipWidth(), 320);
}

TEST(PlayerCore, ANewSourceReplacesThePlayingClip) {
  Player player;
  PlayerCore& core = player.core;
  core.SetSource(Clip("long.rm"));
  ASSERT_TRUE(player.Until([&] { return core.PlayState() == kPlayStatePlaying; }));
  Playback run = PlayToEnd(player, Clip("qcif.rm"), 10);
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(core.ClipWidth(), 176);
  EXPECT_LT(run.seconds, 5.0) << "the thirty-second clip went on playing";

  core.SetSource(Clip("long.rm"));
  ASSERT_TRUE(player.Until([&] { return core.PlayState() == kPlayStatePlaying; }));
  core.SetSource("");
  EXPECT_EQ(core.PlayState(), kPlayStateIdle);
  EXPECT_EQ(core.ClipHeight(), 0);
  player.time->Advance(0.3);
  EXPECT_FALSE(player.Until([&] { return core.PlayState() != kPlayStateIdle; }, 300ms))
      << "the replaced clip came back";
  EXPECT_EQ(core.TakeDuePicture(), nullptr);
}

TEST(PlayerCore, ManySourceChangesInARowEndWithTheLastOne) {
  Player player;
  PlayerCore& core = player.core;
  const std::string clips[] = {Clip("long.rm"), Clip("medium.rm"), "", Clip("list.ram")};
  for (int i = 0; i < 200; ++i) {
    core.SetSource(clips[i % 4]);
    // Now and then the worker gets as far as opening one.
    if (i % 10 == 0) player.Until([&] { return core.PlayState() != kPlayStateOpening; }, 3ms);
  }
  Playback run = PlayToEnd(player, Clip("small.rm"), 10);
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
    Player player;
    for (size_t cut = 0; cut < 1400; cut += 7) {
      std::string path = folder + "/head" + std::to_string(cut) + ".rm";
      std::ofstream(path, std::ios::binary) << bytes.substr(0, cut);
      player.core.SetSource(path);
      EXPECT_TRUE(player.PlayUntil([&] { return player.Idle(); }, 5)) << path;
    }
  }
  // All at once, on the system's clock: each player has its own worker thread.
  Signal changed;
  std::vector<std::unique_ptr<PlayerCore>> cores;
  for (const std::string& path : paths) {
    cores.push_back(std::make_unique<PlayerCore>(nullptr, [&changed] { changed.Notify(); }));
    cores.back()->SetSource(path);
  }
  for (size_t i = 0; i < cores.size(); ++i) {
    EXPECT_TRUE(changed.Until([&] { return cores[i]->PlayState() == kPlayStateIdle; }, 15s))
        << paths[i];
  }
}

// A window that wakes only on the core's call or when its next picture falls due, as the
// component's window does with its timer, still gets every picture, and the calls come for
// the size, the end and a picture in an empty queue, not for every picture.
TEST(PlayerCore, WakesTheWindowOnlyWhenItHasNothingElseToWaitFor) {
  Player player;
  PlayerCore& core = player.core;
  std::atomic<int>& changes = *player.changes;
  core.SetSource(Clip("small.rm"));
  int pictures = 0;
  int stalls = 0;
  double most = player.time->Elapsed() + 10;
  while (!player.Idle() && player.time->Elapsed() < most) {
    int seen = changes;
    // The window sleeps until its next picture's time, or without one until the core calls;
    // clip time runs on meanwhile whenever the worker waits for it.
    std::optional<double> next = core.NextPictureIn();
    if (next) {
      double then = player.time->Elapsed() + std::max(*next, 0.0);
      ASSERT_TRUE(
          player.time->RunUntil([&] { return player.time->Elapsed() >= then; }, kStep, *next + 1));
    } else {
      ASSERT_TRUE(player.Until([&] { return changes != seen || player.time->Sleepers() > 0; }));
      // A picture in an empty queue with no call about it: the window would sleep past it.
      if (changes == seen && core.NextPictureIn()) ++stalls;
      if (changes == seen) player.time->Advance(kStep);
    }
    if (core.TakeDuePicture()) ++pictures;
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
    Player player;
    player.core.SetSource(Clip("small.rm"));
    int later = 0;
    EXPECT_TRUE(player.time->RunUntil([&] { return later >= 12; }, kStep, 10,
                                      [&] {
                                        std::shared_ptr<const Picture> picture =
                                            player.core.TakeDuePicture();
                                        if (picture && !kept) {
                                          kept = picture;
                                          copy = picture->bgra;
                                        } else if (picture) {
                                          ++later;
                                          EXPECT_NE(picture->bgra.data(), kept->bgra.data());
                                        }
                                      }));
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->bgra, copy);
  }
  EXPECT_EQ(kept->bgra, copy);
  kept.reset();  // after the player: the buffer is freed, not handed back
}

}  // namespace
}  // namespace quorvane::player
