#include "av_sync/analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace quorvane::av_sync {
namespace {

// A recording of 1 kHz beeps of 0.2 s starting at the given times, with a little noise.
std::vector<float> Beeps(const std::vector<double>& starts, double rate, double seconds,
                         double level) {
  std::vector<float> samples(static_cast<size_t>(seconds * rate));
  std::mt19937 random(7);
  std::normal_distribution<float> noise(0.0f, 0.002f);
  for (size_t n = 0; n < samples.size(); ++n) {
    double t = static_cast<double>(n) / rate;
    samples[n] = noise(random);
    for (double start : starts) {
      if (t >= start && t < start + 0.2) {
        samples[n] += static_cast<float>(level * std::sin(2 * std::numbers::pi * 1000 * t));
      }
    }
  }
  return samples;
}

TEST(AvSyncAnalysis, FindsEachBeepsStartToATenthOfAMillisecond) {
  struct Case {
    double rate;
    double level;
    std::vector<double> starts;
  };
  for (const Case& c :
       {Case{44100, 0.5, {0.3, 1.30037, 2.30071}}, Case{48000, 0.05, {0.51234, 1.5}}}) {
    SCOPED_TRACE(c.rate);
    std::vector<double> found = BeepOnsets(Beeps(c.starts, c.rate, 3, c.level), c.rate);
    ASSERT_EQ(found.size(), c.starts.size());
    for (size_t i = 0; i < found.size(); ++i) EXPECT_NEAR(found[i], c.starts[i], 1e-4);
  }
  // One beep in a long recording of silence.
  EXPECT_EQ(BeepOnsets(Beeps({12.0}, 44100, 18, 0.5), 44100).size(), 1u);
  // A beep that sounds from the first sample has no quiet before it; noise alone is no beep.
  EXPECT_EQ(BeepOnsets(Beeps({0.0, 1.0}, 44100, 2, 0.5), 44100).size(), 1u);
  EXPECT_TRUE(BeepOnsets(Beeps({}, 44100, 2, 0.5), 44100).empty());
}

TEST(AvSyncAnalysis, TheClipsOffsetIsItsFlashLessItsBeep) {
  // The beeps of the clip start 5.35 ms after the seconds at which its flashes are due.
  std::optional<double> offset = ClipOffset({1.00535, 2.00535, 3.0054, 4.0});
  ASSERT_TRUE(offset);
  EXPECT_NEAR(*offset, -0.00535, 1e-6);
  EXPECT_FALSE(ClipOffset({}));
}

TEST(AvSyncAnalysis, AFlashIsABrightSpellAsLongAsTheClipsFlash) {
  std::vector<Change> middle = {
      {0.0, 255},  {1.1, 0},   // bright from the start for long: a background, no flash
      {1.2, 250},  {1.4, 5},   // a flash
      {1.5, 255},  {1.51, 0},  // a glitch
      {2.01, 240}, {2.2, 10},  // a flash
      {3.0, 200},  {3.9, 0},   // a flash held while the player stalled
      {4.0, 255},              // bright until the end: unknown length
  };
  EXPECT_EQ(FlashOnsets(middle, ClipShape{}), (std::vector<double>{1.2, 2.01, 3.0}));
}

TEST(AvSyncAnalysis, ALagIsPositiveWhenThePictureComesAfterItsSound) {
  const double offset = -0.00535;  // the clip's sound 5.35 ms after its pictures
  std::vector<FlashLag> lags =
      FlashLags({10.0, 11.010, 12.5, 13.0}, {10.00535, 11.00535, 13.02535}, offset);
  // 12.5 has no beep within 0.4 s.
  ASSERT_EQ(lags.size(), 3u);
  EXPECT_NEAR(lags[0].lag, 0, 1e-9);
  EXPECT_NEAR(lags[1].lag, 0.010, 1e-9);
  EXPECT_NEAR(lags[2].lag, -0.020, 1e-9);
}

TEST(AvSyncAnalysis, SilenceSlippedIntoTheSoundIsCountedFromTheFirstBeep) {
  // A device 200 ppm slow: its beeps 999.8 ms apart, until it ran dry for 25 ms before the
  // fourth beep and for 10 ms before the seventh.
  std::vector<double> beeps;
  double slipped = 0;
  for (int k = 0; k < 10; ++k) {
    if (k == 3) slipped += 0.025;
    if (k == 6) slipped += 0.010;
    beeps.push_back(7.0 + k * 0.9998 + slipped);
  }
  std::vector<double> slips = SoundSlips(beeps);
  ASSERT_EQ(slips.size(), beeps.size());
  for (int k = 0; k < 10; ++k) {
    EXPECT_NEAR(slips[k], k < 3 ? 0 : k < 6 ? 0.025 : 0.035, 1e-9) << "beep " << k;
  }
  EXPECT_EQ(SoundSlips({1.0}), std::vector<double>{0.0});
}

TEST(AvSyncAnalysis, AFlashIsJudgedBeyondTheSilenceSlippedBeforeItsBeep) {
  ClipShape clip;
  const double offset = -0.00535;
  std::vector<Change> middle = {{0, 0}};
  std::vector<double> beeps;
  // The sound slips 20 ms before the sixth beep; the pictures, following a position that did
  // not count it, stay where they were: 8 ms after their sound, then 12 ms before it. One
  // flash, the tenth, is 45 ms late besides.
  for (int k = 0; k < 12; ++k) {
    double beep = 3.0 + k + (k >= 5 ? 0.020 : 0) + 0.00535;
    double flash = 3.0 + k + 0.008 + (k == 9 ? 0.045 : 0);
    beeps.push_back(beep);
    middle.push_back({flash, 255});
    middle.push_back({flash + 0.2, 0});
  }
  RunFigures figures = Analyse(middle, {}, beeps, offset, clip);
  EXPECT_EQ(figures.flashes, 12);
  ASSERT_TRUE(figures.lag_beyond_slip_ms && figures.lag_min_ms);
  EXPECT_NEAR(figures.slip_ms, 20, 1e-6);
  EXPECT_NEAR(*figures.lag_min_ms, -12, 1e-6);
  // The tenth flash: 33 ms after its beep, 13 ms beyond the 20 ms slipped; the others at most
  // 8 ms off with none slipped, or 12 ms with 20 slipped.
  EXPECT_NEAR(*figures.lag_max_ms, 33, 1e-6);
  EXPECT_NEAR(*figures.lag_beyond_slip_ms, 13, 1e-6);
}

// The corner's screen values for levels 0 to 3, as video range shows them.
constexpr int kLevelValue[] = {64, 128, 191, 255};

// The corner's changes for the clip's pictures shown at first + n * 0.05 s + late(n), those
// for which shown(n) says so, dark before.
template <typename Late, typename Shown>
std::vector<Change> Corner(double first, Late late, Shown shown) {
  std::vector<Change> corner = {{first - 1, 0}};
  for (int n = 0; n < 240; ++n) {
    if (shown(n)) corner.push_back({first + n * 0.05 + late(n), kLevelValue[n % 4]});
  }
  return corner;
}

TEST(AvSyncAnalysis, PicturesAreTimedAgainstTheirDueTimes) {
  ClipShape clip;
  auto always = [](int) { return true; };
  auto on_time = [](int n) { return (n % 3 - 1) * 0.001; };
  struct Case {
    const char* what;
    std::vector<Change> corner;
    int shown, dropped;
    double on_time_share, steady_share;
  };
  // Each tenth picture 8 ms late: off its time, yet shown for its 50 ms to 10 ms. 12 ms late:
  // it and the one after it are off their 50 ms too.
  auto each_tenth_late = [](int n) { return n % 10 == 5 ? 0.008 : 0.0; };
  auto each_tenth_later = [](int n) { return n % 10 == 5 ? 0.012 : 0.0; };
  auto last_late = [](int n) { return n == 239 ? 0.030 : 0.0; };
  // Three pictures left out (levels stepping by 2, by 3, and four in a row counted by their
  // number); the first picture never shown.
  auto gaps = [](int n) { return n != 0 && n != 50 && n != 100 && n != 101; };
  // Picture 100 painted again after a moment's dark: still one picture.
  std::vector<Change> painted_again = Corner(5.0, on_time, always);
  Change picture_100 = painted_again[101];
  painted_again.insert(painted_again.begin() + 102, {{picture_100.time + 0.01, 0},
                                                     {picture_100.time + 0.02, picture_100.value}});
  for (const Case& c : {
           Case{"on time", Corner(5.0, on_time, always), 240, 0, 1.0, 1.0},
           Case{"each tenth late", Corner(5.0, each_tenth_late, always), 240, 0, 0.9, 1.0},
           Case{"each tenth later", Corner(5.0, each_tenth_later, always), 240, 0, 0.9,
                1 - 48.0 / 239},
           Case{"gaps", Corner(5.0, on_time, gaps), 236, 4, 1.0, 1.0},
           Case{"painted again", painted_again, 240, 0, 1.0, 1.0},
           Case{"the last picture late", Corner(5.0, last_late, always), 240, 0, 239.0 / 240,
                238.0 / 239},
       }) {
    SCOPED_TRACE(c.what);
    PictureTiming timing = TimePictures(ShownPictures(c.corner), 5.0, clip);
    EXPECT_EQ(timing.shown, c.shown);
    EXPECT_EQ(timing.dropped, c.dropped);
    EXPECT_NEAR(timing.on_time_share, c.on_time_share, 1e-9);
    EXPECT_NEAR(timing.steady_share, c.steady_share, 1e-9);
  }
}

TEST(AvSyncAnalysis, PicturesLateTogetherShowAsOffTheirTime) {
  // The second half of the clip 20 ms late: the median fit keeps to the first half.
  auto late_second_half = [](int n) { return n >= 130 ? 0.020 : 0.0; };
  PictureTiming timing = TimePictures(
      ShownPictures(Corner(5.0, late_second_half, [](int) { return true; })), 5.0, ClipShape{});
  EXPECT_NEAR(timing.on_time_share, 130.0 / 240, 1e-9);
  EXPECT_NEAR(timing.worst_ms, 20, 1e-6);
}

TEST(AvSyncAnalysis, OnePassOfTheClipIsMeasuredAndTheNextLeftOut) {
  ClipShape clip;
  const double first = 3.0, offset = -0.00535;
  std::vector<Change> middle = {{0, 0}}, corner;
  std::vector<double> beeps;
  // Two passes one after the other: pictures 12 ms after their sound, the first 30 ms.
  for (int pass = 0; pass < 2; ++pass) {
    double start = first + pass * 12.0;
    for (int k = 0; k < 12; ++k) {
      double flash = start + k + (k == 0 ? 0.030 : 0.012);
      middle.push_back({flash, 255});
      middle.push_back({flash + 0.2, 0});
      beeps.push_back(start + k + 0.00535);
    }
    auto late = [&](int n) { return n < 20 ? 0.030 : 0.012; };
    std::vector<Change> more = Corner(start, late, [](int) { return true; });
    corner.insert(corner.end(), more.begin() + (pass ? 1 : 0), more.end());
  }
  RunFigures figures = Analyse(middle, corner, beeps, offset, clip);
  EXPECT_EQ(figures.flashes, 12);
  EXPECT_EQ(figures.beeps, 12);
  ASSERT_TRUE(figures.first_lag_ms && figures.lag_median_ms);
  EXPECT_NEAR(*figures.first_lag_ms, 30, 1e-6);
  EXPECT_NEAR(*figures.lag_median_ms, 12, 1e-6);
  EXPECT_NEAR(*figures.lag_max_ms - *figures.lag_min_ms, 0, 1e-6);
  EXPECT_EQ(figures.pictures.shown, 240);
  EXPECT_EQ(figures.pictures.dropped, 0);
  EXPECT_NEAR(figures.pictures.on_time_share, 220.0 / 240, 1e-9);
}

TEST(AvSyncAnalysis, TheSoundClockFollowsTheQuickAnswersNotTheLateOnes) {
  // The sink plays 200 ppm fast against the clock; sample 0 is heard at 100 s. Answers come
  // every 20 ms with round trips of 0.1 to 0.3 ms; each fifth tells 3 ms late (a held-back
  // block), each seventh took 20 ms (its middle is off by up to 10 ms).
  std::vector<ClockAnswer> answers;
  std::mt19937 random(3);
  std::uniform_real_distribution<double> trip(0.0001, 0.0003), where(0, 1);
  for (int i = 0; i < 600; ++i) {
    double asked = 100.5 + i * 0.02;
    double round_trip = i % 7 == 0 ? 0.020 : trip(random);
    double snapshot = asked + where(random) * round_trip;
    double heard = (snapshot - 100) * (1 + 200e-6) - (i % 5 == 0 ? 0.003 : 0.0);
    answers.push_back({asked + round_trip / 2, heard, round_trip});
  }
  std::optional<SoundClock> clock = FitSoundClock(answers);
  ASSERT_TRUE(clock);
  EXPECT_NEAR(clock->start, 100, 5e-5);
  EXPECT_NEAR(clock->rate_error, -200e-6, 10e-6);
  EXPECT_GT(clock->late_answers, 0);
  EXPECT_LT(clock->spread_ms, 0.2);
  EXPECT_FALSE(FitSoundClock({}));
}

}  // namespace
}  // namespace quorvane::av_sync
