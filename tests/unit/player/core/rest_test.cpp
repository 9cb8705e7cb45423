// The display off, the player rests: its clip stands where it was (no picture falls due, its
// sound is let go, its worker waits until woken), and goes on from there afterwards, its
// pictures with its sound; at any moment of a clip, its start and its end included.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "support/clips.h"
#include "support/test_player.h"

namespace quorvane::player {
namespace {

using testing::Clip;
using namespace testing::players;

// Takes pictures as they fall due for seconds of clip time; the times of those taken.
std::vector<double> Watch(Player& player, double seconds) {
  std::vector<double> times;
  double until = player.time->Elapsed() + seconds;
  player.PlayUntil([&] { return player.time->Elapsed() >= until; }, seconds + 1,
                   [&](const Picture& p) { times.push_back(p.time); });
  return times;
}

// A clip with sound on a scripted device, or one without.
struct RestingPlayer {
  explicit RestingPlayer(bool sound)
      : player(sound ? with_sound.player : without_sound), clip(sound ? "medium.rm" : "small.rm") {}
  PlayerWithSound with_sound;
  Player without_sound;
  Player& player;
  const char* clip;
};

TEST(Rest, TheClipStandsWhileRestingAndGoesOnFromThereWithItsSound) {
  for (bool sound : {true, false}) {
    SCOPED_TRACE(sound ? "a clip with sound" : "a clip without sound");
    RestingPlayer p(sound);
    Player& player = p.player;
    PlayerCore& core = player.core;
    core.SetSource(Clip(p.clip));
    std::vector<double> before = Watch(player, 1.0);
    ASSERT_FALSE(before.empty());
    core.Rest(true);
    player.time->ForgetWaits();
    std::vector<double> resting = Watch(player, 2.0);
    EXPECT_TRUE(resting.empty()) << "a picture fell due while resting";
    EXPECT_GE(player.time->ShortestWait(), 1.0) << "the worker woke by itself while resting";
    EXPECT_FALSE(player.Idle()) << "the clip ended while resting";
    if (sound) {
      EXPECT_EQ(p.with_sound.log->rests.load(), 1) << "the sound was not let go";
    }
    core.Rest(false);
    std::vector<double> after = Watch(player, 0.5);
    ASSERT_FALSE(after.empty());
    // From where it stood: the next picture, neither one from long before nor a leap.
    EXPECT_GT(after.front(), before.back() - 0.01);
    EXPECT_LT(after.front(), before.back() + 0.2);
    EXPECT_GT(after.back(), after.front() + 0.3) << "the clip did not go on at its pace";
  }
}

// At a clip's start: it opens and tells its size (the saver places it), but its first picture
// waits for the rest's end; a new source while resting does the same.
TEST(Rest, AClipStartedWhileRestingWaitsWithItsFirstPicture) {
  for (bool sound : {true, false}) {
    SCOPED_TRACE(sound ? "with sound" : "without sound");
    RestingPlayer p(sound);
    Player& player = p.player;
    PlayerCore& core = player.core;
    core.Rest(true);
    core.SetSource(Clip(p.clip));
    ASSERT_TRUE(player.Until([&] { return core.ClipHeight() != 0; }));
    EXPECT_TRUE(Watch(player, 1.0).empty());
    core.Rest(false);
    std::vector<double> after = Watch(player, 0.5);
    ASSERT_FALSE(after.empty());
    EXPECT_EQ(after.front(), 0.0) << "not from the clip's first picture";
  }
}

// At a clip's end: a rest then holds the end back, and the clip ends afterwards.
TEST(Rest, AClipsEndWaitsForTheRestsEnd) {
  Player player;
  PlayerCore& core = player.core;
  core.SetSource(Clip("small.rm"));  // two seconds
  Watch(player, 1.9);
  core.Rest(true);
  Watch(player, 2.0);
  EXPECT_FALSE(player.Idle());
  core.Rest(false);
  EXPECT_TRUE(player.PlayUntil([&] { return player.Idle(); }, 1.0));
}

}  // namespace
}  // namespace quorvane::player
