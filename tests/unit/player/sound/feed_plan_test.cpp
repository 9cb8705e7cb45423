#include "player/sound/feed_plan.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace quorvane::player {
namespace {

TEST(FeedPlan, WhatADeviceWithRoomIsGiven) {
  struct Case {
    const char* name;
    FeedView view;
    DeviceFeed want;
  } cases[] = {
      // A new stream: it waits for enough sound to follow its silence, then takes the silence
      // before the sound and as much sound as it has room for, and starts.
      {"new stream, too little sound yet",
       {.buffer = 1440, .lead_in = 2880, .sound = 1000, .start_after = 2880},
       {}},
      {"new stream, enough sound",
       {.buffer = 1440, .lead_in = 2880, .sound = 3000, .start_after = 2880},
       {.silence_before = 1440, .start = true}},
      {"new stream, a clip shorter than its wait",
       {.buffer = 1440, .lead_in = 2880, .sound = 1000, .start_after = 2880, .sound_ends = true},
       {.silence_before = 1440, .start = true}},
      {"the last of the silence before, then sound",
       {.buffer = 1440, .padding = 1000, .started = true, .lead_in = 300, .sound = 5000},
       {.silence_before = 300, .sound = 140}},
      {"sound for all its room",
       {.buffer = 1440, .padding = 480, .started = true, .sound = 5000},
       {.sound = 960}},
      // The sound comes late: silence keeps a third of the buffer, and no more.
      {"underrun",
       {.buffer = 1440, .padding = 100, .started = true, .sound = 200},
       {.sound = 200, .silence_after = 180}},
      {"underrun with enough held",
       {.buffer = 1440, .padding = 400, .started = true, .sound = 200},
       {.sound = 200}},
      // Between clips, or after the last sound, the stream plays silence.
      {"nothing to play",
       {.buffer = 1440, .padding = 0, .started = true, .sound_ends = true},
       {.silence_after = 480}},
      {"a device that reports more held than its buffer",
       {.buffer = 1440, .padding = 5000, .started = true, .sound = 100},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeviceFeed got = PlanFeed(c.view);
    EXPECT_EQ(got.silence_before, c.want.silence_before);
    EXPECT_EQ(got.sound, c.want.sound);
    EXPECT_EQ(got.silence_after, c.want.silence_after);
    EXPECT_EQ(got.start, c.want.start);
    EXPECT_LE(got.Frames(), c.view.buffer - std::min(c.view.padding, c.view.buffer));
  }
}

TEST(FeedPlan, WhatTheFeedingThreadDoesNext) {
  constexpr double kNoLimit = -1;
  struct Case {
    const char* name;
    FeederView view;
    FeederStep step;
    double wait;
  } cases[] = {
      {"stopping", {.stopping = true, .open = true}, FeederStep::kStop, kNoLimit},
      {"a clip's sound and no device", {.sound_wanted = true}, FeederStep::kOpen, kNoLimit},
      {"playing", {.open = true, .sound_wanted = true}, FeederStep::kFeed, 0.2},
      // A device that went away, or a new default: closed, then (below) the default opened.
      {"device gone",
       {.open = true, .failed = true, .sound_wanted = true},
       FeederStep::kClose,
       kNoLimit},
      {"new default",
       {.open = true, .default_changed = true, .sound_wanted = true},
       FeederStep::kClose,
       kNoLimit},
      {"no device could be opened a moment ago",
       {.sound_wanted = true, .since_open_failed = 0.5},
       FeederStep::kWait,
       kRetryOpen - 0.5},
      {"no device could be opened, but a new default came",
       {.default_changed = true, .sound_wanted = true, .since_open_failed = 0.5},
       FeederStep::kOpen,
       kNoLimit},
      {"no device could be opened, but a device came",
       {.device_came = true, .sound_wanted = true, .since_open_failed = 0.5},
       FeederStep::kOpen,
       kNoLimit},
      {"a device came while one plays",
       {.open = true, .device_came = true, .sound_wanted = true},
       FeederStep::kFeed,
       0.2},
      // Resting: the device is let go, and nothing wakes the thread but the rest's end.
      {"resting with a device",
       {.resting = true, .open = true, .sound_wanted = true},
       FeederStep::kClose,
       kNoLimit},
      {"resting", {.resting = true, .sound_wanted = true}, FeederStep::kWait, kNoLimit},
      // Between clips the stream plays silence for a while, then the device is let go.
      {"between clips", {.open = true, .idle = kCloseAfter - 0.1}, FeederStep::kFeed, 0.2},
      {"nothing to play for long",
       {.open = true, .idle = kCloseAfter},
       FeederStep::kClose,
       kNoLimit},
      {"nothing to play, no device", {.idle = 100}, FeederStep::kWait, kNoLimit},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FeederPlan plan = NextStep(c.view);
    EXPECT_EQ(plan.step, c.step);
    if (plan.step == FeederStep::kWait || plan.step == FeederStep::kFeed) {
      EXPECT_NEAR(plan.wait, c.wait, 1e-9);
    }
  }
}

// A device that holds plenty is left alone until half of it is left, two of its periods at the
// least; one that holds little (three periods: a sleep of one) is woken for at its next event.
TEST(FeedPlan, HowLongTheFeedingThreadSleepsAfterAFeed) {
  struct Case {
    double held, period;
    std::optional<double> sleep;
  } cases[] = {
      {0.050, 0.010, 0.025},        {0.040, 0.010, 0.020},        {0.030, 0.010, std::nullopt},
      {0.025, 0.010, std::nullopt}, {0.010, 0.010, std::nullopt}, {0.100, 0.003, 0.050},
      {0.040, 0, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.held) + " s held");
    std::optional<double> sleep = SleepAfterFeed(c.held, c.period);
    ASSERT_EQ(sleep.has_value(), c.sleep.has_value());
    if (sleep) {
      EXPECT_NEAR(*sleep, *c.sleep, 1e-9);
    }
  }
}

}  // namespace
}  // namespace quorvane::player
