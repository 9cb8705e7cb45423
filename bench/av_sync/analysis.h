// What av_probe makes of what it saw and heard while a player played flash-beep.rm (made by
// tests/e2e/make-clips): when each flash of the middle box showed, when each beep began, when
// each picture showed (the corner box's grey level steps once a picture), and from these the
// figures of one run. Pure functions of the recorded data, on one time line in seconds.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace quorvane::av_sync {

// The clip's shape, as tests/e2e/make-clips makes it.
struct ClipShape {
  double picture_seconds = 0.05;  // 20 pictures a second
  int pictures = 240;             // 12 s
  int pictures_per_flash = 20;    // a flash (and a beep) starts each second
  double flash_seconds = 0.2;
};

// A screen point's value (0 to 255) from this time on.
struct Change {
  double time;
  int value;
};

// Whether a bright spell of the middle point is a flash: from half the flash's length to five
// times it (a player that stalls holds it longer). A background that is bright for long, or a
// glitch of a picture, is no flash.
bool IsFlash(double bright_seconds, const ClipShape& clip);
// The times the middle point turned bright, for the spells that are flashes.
std::vector<double> FlashOnsets(const std::vector<Change>& middle, const ClipShape& clip);

// The corner box's grey level for a screen value: 0 to 3, or -1 where the value is dark (no
// picture of the clip there). The levels show as about 64, 128, 191 and 255 (their luma 71,
// 126, 181 and 236 taken as video range) or 71 to 236 (taken as full range).
int CornerLevel(int value);

struct ShownPicture {
  double time;
  int level;
};
// The corner's changes of level, each one picture shown; dark stretches are left out.
std::vector<ShownPicture> ShownPictures(const std::vector<Change>& corner);

// The times (in seconds from the first sample) where a 1 kHz beep begins after at least 50 ms of
// quiet, found on the tone's envelope (its 1 kHz part averaged over one period), where it first
// reaches half its usual height (the 99th percentile of the envelope: beeps that sound for 1 %
// of the recording are enough, as when a player's sound broke off), less half the averaging
// window: a step of the tone is placed where it is, to a fraction of a sample. Nothing when the
// sound never grows louder than `min_level` (of full scale 1).
std::vector<double> BeepOnsets(const std::vector<float>& samples, double rate,
                               double min_level = 0.02);

double Median(std::vector<double> values);

// One answer of the sound server about a recording's timing: at a moment between the question
// and the answer, the recording's position (seconds of its samples) heard then, as the answer
// tells it.
struct ClockAnswer {
  double time;        // the middle of the round trip
  double heard;       // s of samples
  double round_trip;  // s
};
// Where the recording's samples lie on the answers' clock: sample position p (seconds of
// samples) was heard at start + p * (1 + rate_error). Fitted as a line through the answers with
// the shortest round trips (at most twice the shortest, or the quicker half), the line refitted
// without the answers more than 0.5 ms above it: an answer can only come out late (a monitor
// holds back a block the sink rendered ahead while it can still change, and the answer does not
// count it), never early.
struct SoundClock {
  double start = 0;
  double rate_error = 0;
  int answers = 0;           // those the line was fitted to
  int late_answers = 0;      // of the quick ones, left out as late
  double round_trip_ms = 0;  // the median of those fitted to
  double spread_ms = 0;      // of the fitted answers about the line: 90th percentile less 10th
};
std::optional<SoundClock> FitSoundClock(const std::vector<ClockAnswer>& answers);

// The clip's own offset of its pictures against its sound: the flash starting at picture 20 k
// is due at k s, and its beep starts at the onset found in the clip's decoded sound (the AC-3
// encoder's delay puts it about 5.3 ms later). The median of (k - onset) over the onsets,
// k rounded from each onset; nothing without onsets.
std::optional<double> ClipOffset(const std::vector<double>& clip_beep_onsets);

// Each flash's lag behind its beep (positive: the picture after its sound), less the clip's own
// offset, for the flashes that have a beep within 0.4 s.
struct FlashLag {
  double flash;
  double lag;
  double beep;
};
std::vector<FlashLag> FlashLags(const std::vector<double>& flashes,
                                const std::vector<double>& beeps, double clip_offset);

// The silence slipped into the sound by each of a pass's beeps (in order, one a second in the
// clip): how much later than the first beep and the beeps' own spacing (their median interval,
// which carries the device's rate) says it sounds. A sound server that runs dry plays silence
// and then the rest of the sound that much later; nothing is ever slipped back (never below 0).
std::vector<double> SoundSlips(const std::vector<double>& beeps);

// The pictures of one pass of the clip: those shown from just before its first flash (the
// first picture) to its last picture, each numbered by its level steps (a step of 2 or 3
// levels means pictures were left out; four in a row left out show in the count only), against
// their due times t0 + N * 0.05 s with t0 fitted as the median.
struct PictureTiming {
  int shown = 0;
  int dropped = 0;           // of the clip's pictures, those never shown
  double on_time_share = 0;  // shown within 5 ms of its due time
  double steady_share =
      0;                // shown 50 ms (times the pictures between) +- 10 ms after the one before
  double worst_ms = 0;  // the largest distance from its due time
};
PictureTiming TimePictures(const std::vector<ShownPicture>& shown, double first_flash,
                           const ClipShape& clip);

// The figures of one run of the clip.
struct RunFigures {
  int flashes = 0;  // flashes found in the clip's pass, with their beeps
  int beeps = 0;
  std::optional<double> first_lag_ms;  // the clip's first flash
  // The flashes after the first: their lags' median, least and largest.
  std::optional<double> lag_median_ms, lag_min_ms, lag_max_ms;
  // The silence slipped into the sound by the last of them (SoundSlips), and the largest of
  // their distances from their beeps less the silence slipped by each one's beep (|lag| - slip;
  // below 0 where more was slipped): a driver that counts the silence it slips in as played
  // takes the pictures up to that much ahead.
  double slip_ms = 0;
  std::optional<double> lag_beyond_slip_ms;
  PictureTiming pictures;
};
RunFigures Analyse(const std::vector<Change>& middle, const std::vector<Change>& corner,
                   const std::vector<double>& beeps, double clip_offset, const ClipShape& clip);

}  // namespace quorvane::av_sync
