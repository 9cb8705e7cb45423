#include "av_sync/analysis.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quorvane::av_sync {
namespace {

// A picture on time: within 5 ms of its due time.
constexpr double kToleranceSeconds = 0.005;
// A picture shown for its time: within 10 ms of 50 ms (times the pictures it stands for) after
// the one before. A wake-up a few milliseconds late, now and then on a busy machine, keeps
// within it; a picture held a timer's tick too long or too short (the system's default tick is
// 15.6 ms) does not.
constexpr double kSteadyToleranceSeconds = 0.010;
constexpr double kBeepHz = 1000;
constexpr double kQuietSeconds = 0.05;

}  // namespace

bool IsFlash(double bright_seconds, const ClipShape& clip) {
  return bright_seconds >= clip.flash_seconds / 2 && bright_seconds <= clip.flash_seconds * 5;
}

std::vector<double> FlashOnsets(const std::vector<Change>& middle, const ClipShape& clip) {
  std::vector<double> onsets;
  bool was_bright = false;
  double bright_since = 0;
  for (const Change& change : middle) {
    bool bright = change.value >= 128;
    if (bright && !was_bright) {
      bright_since = change.time;
    } else if (!bright && was_bright) {
      if (IsFlash(change.time - bright_since, clip)) onsets.push_back(bright_since);
    }
    was_bright = bright;
  }
  return onsets;
}

int CornerLevel(int value) {
  if (value < 32) return -1;
  // Halfway between the levels as the video range shows them (64, 128, 191, 255); the full
  // range's (71, 126, 181, 236) fall on the same sides.
  if (value < 96) return 0;
  if (value < 160) return 1;
  if (value < 223) return 2;
  return 3;
}

std::vector<ShownPicture> ShownPictures(const std::vector<Change>& corner) {
  std::vector<ShownPicture> shown;
  int last = -1;
  for (const Change& change : corner) {
    int level = CornerLevel(change.value);
    if (level >= 0 && level != last) shown.push_back({change.time, level});
    last = level;
  }
  return shown;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  if (values.size() % 2) return *middle;
  return (*middle + *std::max_element(values.begin(), middle)) / 2;
}

namespace {

// Least squares: offset = a + b * heard.
void FitLine(const std::vector<ClockAnswer>& answers, double& a, double& b) {
  double n = static_cast<double>(answers.size());
  double mean_x = 0, mean_y = 0;
  for (const ClockAnswer& answer : answers) {
    mean_x += answer.heard / n;
    mean_y += (answer.time - answer.heard) / n;
  }
  double sxx = 0, sxy = 0;
  for (const ClockAnswer& answer : answers) {
    double dx = answer.heard - mean_x;
    sxx += dx * dx;
    sxy += dx * (answer.time - answer.heard - mean_y);
  }
  b = sxx > 0 ? sxy / sxx : 0;
  a = mean_y - b * mean_x;
}

}  // namespace

std::optional<SoundClock> FitSoundClock(const std::vector<ClockAnswer>& answers) {
  if (answers.empty()) return std::nullopt;
  std::vector<double> trips;
  for (const ClockAnswer& answer : answers) trips.push_back(answer.round_trip);
  const double limit = std::max(2 * *std::min_element(trips.begin(), trips.end()), Median(trips));
  std::vector<ClockAnswer> quick;
  for (const ClockAnswer& answer : answers) {
    if (answer.round_trip <= limit) quick.push_back(answer);
  }
  double a = 0, b = 0;
  std::vector<ClockAnswer> kept = quick;
  for (int pass = 0; pass < 3; ++pass) {
    FitLine(kept, a, b);
    kept.clear();
    for (const ClockAnswer& answer : quick) {
      if (answer.time - answer.heard - (a + b * answer.heard) <= 0.0005) kept.push_back(answer);
    }
    if (kept.empty()) return std::nullopt;
  }
  FitLine(kept, a, b);
  SoundClock clock;
  clock.start = a;
  clock.rate_error = b;
  clock.answers = static_cast<int>(kept.size());
  clock.late_answers = static_cast<int>(quick.size() - kept.size());
  std::vector<double> kept_trips, residuals;
  for (const ClockAnswer& answer : kept) {
    kept_trips.push_back(answer.round_trip);
    residuals.push_back(answer.time - answer.heard - (a + b * answer.heard));
  }
  clock.round_trip_ms = Median(kept_trips) * 1000;
  std::sort(residuals.begin(), residuals.end());
  clock.spread_ms =
      (residuals[residuals.size() * 9 / 10] - residuals[residuals.size() / 10]) * 1000;
  return clock;
}

std::vector<double> BeepOnsets(const std::vector<float>& samples, double rate, double min_level) {
  // The envelope of the 1 kHz part: the sound mixed down with a cosine and a sine of the beep's
  // pitch, each summed over one period (which cancels the mix's 2 kHz part), as a running sum.
  const size_t window = std::max<size_t>(1, static_cast<size_t>(std::lround(rate / kBeepHz)));
  std::vector<double> envelope(samples.size(), 0.0);
  double sum_i = 0, sum_q = 0;
  std::vector<double> mixed_i(samples.size()), mixed_q(samples.size());
  const double step = 2 * std::numbers::pi * kBeepHz / rate;
  for (size_t n = 0; n < samples.size(); ++n) {
    double phase = step * static_cast<double>(n);
    mixed_i[n] = samples[n] * std::cos(phase);
    mixed_q[n] = samples[n] * std::sin(phase);
    sum_i += mixed_i[n];
    sum_q += mixed_q[n];
    if (n >= window) {
      sum_i -= mixed_i[n - window];
      sum_q -= mixed_q[n - window];
    }
    envelope[n] = 2 * std::hypot(sum_i, sum_q) / static_cast<double>(window);
  }
  if (envelope.empty()) return {};
  std::vector<double> sorted = envelope;
  auto high = sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() * 99 / 100);
  std::nth_element(sorted.begin(), high, sorted.end());
  const double height = *high;
  if (height < min_level) return {};
  const double half = height / 2, quiet = height / 10;
  const size_t quiet_samples = static_cast<size_t>(kQuietSeconds * rate);

  std::vector<double> onsets;
  size_t quiet_run = 0;
  bool armed = false;  // quiet long enough for a beep to begin
  for (size_t n = 1; n < envelope.size(); ++n) {
    if (envelope[n] < quiet) {
      if (++quiet_run >= quiet_samples) armed = true;
      continue;
    }
    quiet_run = 0;
    if (armed && envelope[n] >= half) {
      // Where it crossed half the height, between this sample and the one before; a step
      // averaged over the window reaches half its height half a window after it begins.
      double before = envelope[n - 1], after = envelope[n];
      double crossing = static_cast<double>(n - 1) + (half - before) / (after - before);
      onsets.push_back((crossing + 1 - static_cast<double>(window) / 2) / rate);
      armed = false;
    }
  }
  return onsets;
}

std::optional<double> ClipOffset(const std::vector<double>& clip_beep_onsets) {
  if (clip_beep_onsets.empty()) return std::nullopt;
  std::vector<double> offsets;
  for (double onset : clip_beep_onsets) offsets.push_back(std::round(onset) - onset);
  return Median(offsets);
}

std::vector<FlashLag> FlashLags(const std::vector<double>& flashes,
                                const std::vector<double>& beeps, double clip_offset) {
  std::vector<FlashLag> lags;
  for (double flash : flashes) {
    std::optional<FlashLag> best;
    for (double beep : beeps) {
      double lag = flash - beep - clip_offset;
      if (std::abs(lag) < 0.4 && (!best || std::abs(lag) < std::abs(best->lag))) {
        best = FlashLag{flash, lag, beep};
      }
    }
    if (best) lags.push_back(*best);
  }
  return lags;
}

std::vector<double> SoundSlips(const std::vector<double>& beeps) {
  std::vector<double> slips(beeps.size(), 0.0);
  if (beeps.size() < 2) return slips;
  std::vector<double> intervals;
  for (size_t i = 1; i < beeps.size(); ++i) intervals.push_back(beeps[i] - beeps[i - 1]);
  const double spacing = Median(intervals);
  for (size_t i = 1; i < beeps.size(); ++i) {
    double since = beeps[i] - beeps[0];
    double beats = std::round(since / spacing);
    slips[i] = std::max(slips[i - 1], since - beats * spacing);
  }
  return slips;
}

PictureTiming TimePictures(const std::vector<ShownPicture>& shown, double first_flash,
                           const ClipShape& clip) {
  // From a little before the first flash (the corner may change a poll before the middle) to
  // the clip's last picture, however late: the pictures that follow are the clip played again.
  const double from = first_flash - clip.picture_seconds / 2;
  std::vector<int> numbers;
  std::vector<double> times;
  int number = 0, level = 0;
  for (const ShownPicture& picture : shown) {
    if (picture.time < from) continue;
    // The first picture shown is one of the first four (its level is its number); each next
    // one follows by as many pictures as its level stepped on.
    int step = ((picture.level - level) % 4 + 4) % 4;
    if (!numbers.empty() && step == 0) continue;  // the same picture again, after a dark spell
    number = numbers.empty() ? picture.level : number + step;
    if (number >= clip.pictures) break;
    level = picture.level;
    numbers.push_back(number);
    times.push_back(picture.time);
  }
  PictureTiming timing;
  timing.shown = static_cast<int>(times.size());
  timing.dropped = std::max(0, clip.pictures - timing.shown);
  if (times.empty()) return timing;
  std::vector<double> starts;
  for (size_t i = 0; i < times.size(); ++i) {
    starts.push_back(times[i] - numbers[i] * clip.picture_seconds);
  }
  const double t0 = Median(starts);
  int on_time = 0, steady = 0;
  for (size_t i = 0; i < times.size(); ++i) {
    double off = std::abs(times[i] - t0 - numbers[i] * clip.picture_seconds);
    timing.worst_ms = std::max(timing.worst_ms, off * 1000);
    if (off <= kToleranceSeconds) ++on_time;
    if (i > 0) {
      double due = (numbers[i] - numbers[i - 1]) * clip.picture_seconds;
      if (std::abs(times[i] - times[i - 1] - due) <= kSteadyToleranceSeconds) ++steady;
    }
  }
  timing.on_time_share = static_cast<double>(on_time) / static_cast<double>(times.size());
  if (times.size() > 1) {
    timing.steady_share = static_cast<double>(steady) / static_cast<double>(times.size() - 1);
  }
  return timing;
}

RunFigures Analyse(const std::vector<Change>& middle, const std::vector<Change>& corner,
                   const std::vector<double>& beeps, double clip_offset, const ClipShape& clip) {
  RunFigures figures;
  std::vector<double> flashes = FlashOnsets(middle, clip);
  if (flashes.empty()) return figures;
  const double first = flashes.front();
  // Flashes and beeps of this pass: the last ones are due a second before its end.
  const double until = first + clip.picture_seconds * clip.pictures - 0.5;
  std::erase_if(flashes, [&](double flash) { return flash >= until; });
  std::vector<double> pass_beeps;
  for (double beep : beeps) {
    if (beep > first - clip_offset - 0.4 && beep < until) pass_beeps.push_back(beep);
  }
  figures.beeps = static_cast<int>(pass_beeps.size());
  std::vector<FlashLag> lags = FlashLags(flashes, pass_beeps, clip_offset);
  figures.flashes = static_cast<int>(lags.size());
  std::vector<double> slips = SoundSlips(pass_beeps);
  std::vector<double> later;
  for (const FlashLag& lag : lags) {
    if (lag.flash == first) {
      figures.first_lag_ms = lag.lag * 1000;
      continue;
    }
    later.push_back(lag.lag * 1000);
    auto beep = std::find(pass_beeps.begin(), pass_beeps.end(), lag.beep);
    double slip = beep == pass_beeps.end() ? 0 : slips[beep - pass_beeps.begin()] * 1000;
    figures.slip_ms = std::max(figures.slip_ms, slip);
    double beyond = std::abs(lag.lag * 1000) - slip;
    figures.lag_beyond_slip_ms = std::max(figures.lag_beyond_slip_ms.value_or(beyond), beyond);
  }
  if (!later.empty()) {
    figures.lag_median_ms = Median(later);
    figures.lag_min_ms = *std::min_element(later.begin(), later.end());
    figures.lag_max_ms = *std::max_element(later.begin(), later.end());
  }
  figures.pictures = TimePictures(ShownPictures(corner), first, clip);
  return figures;
}

}  // namespace quorvane::av_sync
