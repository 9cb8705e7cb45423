// Watches a player play flash-beep.rm (tests/e2e/make-clips) on the X display and listens to
// what the PulseAudio server's default sink plays, on one clock, then says how well its pictures
// kept to their sound and to their times (analysis.h):
//   av_probe --seconds S --flash X,Y --corner X,Y --clip-sound FILE [--clip-rate 48000]
//            [--pass-seconds 12.3] [--polls-per-second 2000] [--label TEXT] [--ready FILE]
//            [--flashed FILE] [--keep FOLDER] [--device SOURCE]
// It watches and listens for at most S seconds, and no longer than --pass-seconds after the
// clip's first flash: one pass of the clip (a player may play it again).
// --flash and --corner are the screen points of the middle box and of the corner box.
// --clip-sound is the clip's own sound, decoded to raw 32-bit float mono at --clip-rate (with
// Debian's ffmpeg: both its streams start at 0, so its first sample is the first picture's time),
// from which the clip's own offset of picture against sound is measured. --ready names a file
// made once the sound is being recorded and the screen watched: start the player then;
// --flashed one made once the first flash has been seen.
// --keep writes what was recorded into a folder (the sound, the time line of each point).
// Prints one line for a person and one of key=value pairs for a script; exits 1 when it
// could not watch or listen.
//
// The screen: both points are read from the root window (GetImage, both asked at once through
// XCB: one round trip a poll) --polls-per-second times a second (as long as the X server keeps
// up), and each change kept with the CLOCK_MONOTONIC time halfway between the poll that saw it
// and the one before: within a quarter of a millisecond at 2,000 polls a second, a twentieth of
// what is judged. Every poll costs the X server as much as this program, and the player under
// watch shares the machine with both: polling as fast as the X server answers (some 20,000
// times a second here) took 60 % of a core in this program and 65 % in the X server, and the
// saver under Wine, on what the two cores had left, lost its sound for moments where it played
// evenly unwatched; 15,000 asked took some 50 % here, 2,000 some 18 %.
//
// The sound: the default sink's monitor (--device: another source) is recorded as 44.1 kHz mono
// in 5 ms fragments. Its samples are placed on the same clock through the server's timing
// answers, asked every 20 ms: each tells, at a moment between the question and its answer,
// how much the stream has been given (write index) and how far the sink renders ahead of what
// is heard (the monitored sink's latency): the sample heard at that moment is the write index,
// plus what is on its way into the stream, less the sink's latency. PulseAudio's clock is
// CLOCK_MONOTONIC, and a null sink plays by it; FitSoundClock (analysis.h) lays a line through
// the answers, as the sink's sample rate is not quite its nominal one (it advances its clock by
// whole microseconds per block: 219 frames are 4965.986 us, counted as 4965, so it plays some
// 200 ppm fast). pa_simple_get_latency could not serve here: a monitor's latency is negative by
// the sink's render-ahead, which pa_simple reports as 0, putting the sound up to a block early.
#include <pulse/pulseaudio.h>
#include <sys/prctl.h>
#include <time.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "av_sync/analysis.h"
#include "monotonic_clock.h"

namespace quorvane::av_sync {
namespace {

constexpr double kRecordRate = 44100;
constexpr double kFragmentSeconds = 0.005;
constexpr double kTimingEverySeconds = 0.02;

using bench::Now;
using bench::SleepUntil;

// One answer of the server about the stream's timing, with what it is made of.
struct Anchor {
  ClockAnswer answer;
  double written, on_the_way, sink_ahead;  // s
};

// The sink's monitor recorded through PulseAudio's threaded main loop.
class SoundRecorder {
 public:
  ~SoundRecorder() { Close(); }

  bool Open(const std::string& device, std::string& error) {
    loop_ = pa_threaded_mainloop_new();
    if (!loop_) return Fail("no main loop", error);
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "av_probe");
    pa_context_set_state_callback(context_, &SoundRecorder::Changed, this);
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
        pa_threaded_mainloop_start(loop_) < 0) {
      return Fail(pa_strerror(pa_context_errno(context_)), error);
    }
    pa_threaded_mainloop_lock(loop_);
    bool ok = OpenStream(device, error);
    pa_threaded_mainloop_unlock(loop_);
    return ok;
  }

  // Waits (at most `seconds`) until sound and a timing answer have come.
  bool WaitForFirstSound(double seconds) {
    double until = Now() + seconds;
    for (;;) {
      pa_threaded_mainloop_lock(loop_);
      bool started = !samples_.empty() && !anchors_.empty();
      pa_threaded_mainloop_unlock(loop_);
      if (started) return true;
      if (Now() > until) return false;
      timespec pause{0, 5'000'000};
      nanosleep(&pause, nullptr);
    }
  }

  void Close() {
    if (!loop_) return;
    pa_threaded_mainloop_lock(loop_);
    if (timer_) pa_threaded_mainloop_get_api(loop_)->time_free(timer_);
    timer_ = nullptr;
    if (stream_) {
      pa_stream_disconnect(stream_);
      pa_stream_unref(stream_);
      stream_ = nullptr;
    }
    pa_context_disconnect(context_);
    pa_threaded_mainloop_unlock(loop_);
    pa_threaded_mainloop_stop(loop_);
    pa_context_unref(context_);
    pa_threaded_mainloop_free(loop_);
    loop_ = nullptr;
  }

  // After Close.
  const std::vector<float>& samples() const { return samples_; }
  const std::vector<Anchor>& anchors() const { return anchors_; }
  // When the samples so far had come, after each read.
  struct Arrival {
    double time;
    size_t samples;
  };
  const std::vector<Arrival>& arrivals() const { return arrivals_; }

 private:
  static bool Fail(const char* why, std::string& error) {
    error = why;
    return false;
  }

  bool OpenStream(const std::string& device, std::string& error) {
    while (pa_context_get_state(context_) != PA_CONTEXT_READY) {
      if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context_))) {
        return Fail(pa_strerror(pa_context_errno(context_)), error);
      }
      pa_threaded_mainloop_wait(loop_);
    }
    pa_sample_spec format{PA_SAMPLE_FLOAT32LE, static_cast<uint32_t>(kRecordRate), 1};
    stream_ = pa_stream_new(context_, "av_probe", &format, nullptr);
    pa_stream_set_state_callback(stream_, &SoundRecorder::StreamChanged, this);
    pa_stream_set_read_callback(stream_, &SoundRecorder::Readable, this);
    pa_buffer_attr buffer{};
    buffer.maxlength = static_cast<uint32_t>(-1);
    buffer.fragsize = static_cast<uint32_t>(
        pa_usec_to_bytes(static_cast<pa_usec_t>(kFragmentSeconds * 1e6), &format));
    if (pa_stream_connect_record(stream_, device.c_str(), &buffer, PA_STREAM_ADJUST_LATENCY) < 0) {
      return Fail(pa_strerror(pa_context_errno(context_)), error);
    }
    while (pa_stream_get_state(stream_) != PA_STREAM_READY) {
      if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream_))) {
        return Fail(pa_strerror(pa_context_errno(context_)), error);
      }
      pa_threaded_mainloop_wait(loop_);
    }
    timer_ = pa_context_rttime_new(context_, pa_rtclock_now(), &SoundRecorder::AskTiming, this);
    return true;
  }

  static void Changed(pa_context*, void* self) {
    pa_threaded_mainloop_signal(static_cast<SoundRecorder*>(self)->loop_, 0);
  }
  static void StreamChanged(pa_stream*, void* self) {
    pa_threaded_mainloop_signal(static_cast<SoundRecorder*>(self)->loop_, 0);
  }

  static void Readable(pa_stream* stream, size_t, void* opaque) {
    auto* self = static_cast<SoundRecorder*>(opaque);
    const void* data = nullptr;
    size_t bytes = 0;
    while (pa_stream_readable_size(stream) > 0 && pa_stream_peek(stream, &data, &bytes) == 0) {
      if (bytes == 0) break;
      size_t count = bytes / sizeof(float);
      if (data) {
        const float* first = static_cast<const float*>(data);
        self->samples_.insert(self->samples_.end(), first, first + count);
      } else {
        self->samples_.insert(self->samples_.end(), count, 0.0f);  // a hole: silence
      }
      pa_stream_drop(stream);
    }
    self->arrivals_.push_back({Now(), self->samples_.size()});
  }

  static void AskTiming(pa_mainloop_api*, pa_time_event* event, const timeval*, void* opaque) {
    auto* self = static_cast<SoundRecorder*>(opaque);
    if (!self->asking_) {
      self->asked_at_ = Now();
      pa_operation* asked = pa_stream_update_timing_info(self->stream_, &SoundRecorder::Told, self);
      if (asked) {
        self->asking_ = true;
        pa_operation_unref(asked);
      }
    }
    pa_context_rttime_restart(self->context_, event,
                              pa_rtclock_now() + static_cast<pa_usec_t>(kTimingEverySeconds * 1e6));
  }

  static void Told(pa_stream* stream, int success, void* opaque) {
    auto* self = static_cast<SoundRecorder*>(opaque);
    double answered = Now();
    self->asking_ = false;
    const pa_timing_info* info = pa_stream_get_timing_info(stream);
    if (!success || !info || info->write_index_corrupt) return;
    double written = static_cast<double>(info->write_index) / sizeof(float) / kRecordRate;
    double on_the_way = static_cast<double>(info->source_usec) * 1e-6;
    double sink_ahead = static_cast<double>(info->sink_usec) * 1e-6;
    self->anchors_.push_back({{(self->asked_at_ + answered) / 2, written + on_the_way - sink_ahead,
                               answered - self->asked_at_},
                              written,
                              on_the_way,
                              sink_ahead});
  }

  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  pa_time_event* timer_ = nullptr;
  bool asking_ = false;
  double asked_at_ = 0;
  std::vector<float> samples_;
  std::vector<Anchor> anchors_;
  std::vector<Arrival> arrivals_;
};

struct Point {
  int x = -1, y = -1;
};

// The two screen points read over and over from the root window, both asked for at once: a
// poll is one round trip to the X server.
class ScreenWatch {
 public:
  bool Open(std::string& error) {
    int screen_number = 0;
    connection_ = xcb_connect(nullptr, &screen_number);
    if (xcb_connection_has_error(connection_)) {
      error = "cannot open the X display";
      return false;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screen_number; ++i) xcb_screen_next(&screens);
    root_ = screens.data->root;
    for (xcb_depth_iterator_t depths = xcb_screen_allowed_depths_iterator(screens.data); depths.rem;
         xcb_depth_next(&depths)) {
      for (xcb_visualtype_iterator_t visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
           xcb_visualtype_next(&visuals)) {
        if (visuals.data->visual_id == screens.data->root_visual) {
          green_mask_ = visuals.data->green_mask;
          bits_ = depths.data->depth > 16 ? 32 : 16;
        }
      }
    }
    while (green_mask_ && !(green_mask_ >> green_shift_ & 1)) ++green_shift_;
    if (!green_mask_) {
      error = "the root window has no true-colour visual";
      return false;
    }
    return true;
  }
  ~ScreenWatch() {
    if (connection_) xcb_disconnect(connection_);
  }

  // Polls both points until `until`, or until `pass` seconds after the first flash (a bright
  // spell of the middle point that IsFlash takes); `flashed` is called once it is seen. Returns
  // the polls made.
  template <typename Flashed>
  long Watch(Point middle, Point corner, double period, double until, double pass, Flashed flashed,
             std::vector<Change>& middle_changes, std::vector<Change>& corner_changes) {
    long polls = 0;
    int last_middle = -1, last_corner = -1;
    double bright_since = -1;
    bool seen_flash = false;
    double before = Now(), due = before;
    for (double now = before; now < until; before = now) {
      // Polls as often as asked, no more: each costs the X server as much as this program, and
      // the player under watch shares the machine with both.
      due += period;
      if (due > now) {
        SleepUntil(due);
      } else {
        due = now;
      }
      xcb_get_image_cookie_t asked_middle = Ask(middle), asked_corner = Ask(corner);
      int middle_value = Value(asked_middle), corner_value = Value(asked_corner);
      now = Now();
      ++polls;
      double seen = (before + now) / 2;
      if (middle_value != last_middle) {
        middle_changes.push_back({seen, middle_value});
        bool bright = middle_value >= 128;
        if (bright && bright_since < 0) {
          bright_since = seen;
        } else if (!bright && bright_since >= 0) {
          if (!seen_flash && IsFlash(seen - bright_since, ClipShape{})) {
            seen_flash = true;
            until = std::min(until, bright_since + pass);
            flashed();
          }
          bright_since = -1;
        }
      }
      if (corner_value != last_corner) corner_changes.push_back({seen, corner_value});
      last_middle = middle_value;
      last_corner = corner_value;
    }
    return polls;
  }

 private:
  xcb_get_image_cookie_t Ask(Point point) {
    return xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_,
                         static_cast<int16_t>(point.x), static_cast<int16_t>(point.y), 1, 1, ~0u);
  }
  int Value(xcb_get_image_cookie_t asked) {
    xcb_get_image_reply_t* reply = xcb_get_image_reply(connection_, asked, nullptr);
    if (!reply) return -1;
    uint32_t pixel = 0;
    const uint8_t* data = xcb_get_image_data(reply);
    int length = xcb_get_image_data_length(reply);
    if (bits_ == 32 && length >= 4) {
      std::memcpy(&pixel, data, 4);
    } else if (length >= 2) {
      uint16_t narrow = 0;
      std::memcpy(&narrow, data, 2);
      pixel = narrow;
    }
    std::free(reply);
    return static_cast<int>((pixel & green_mask_) >> green_shift_) & 0xff;
  }

  xcb_connection_t* connection_ = nullptr;
  xcb_window_t root_ = 0;
  uint32_t green_mask_ = 0;
  int green_shift_ = 0;
  int bits_ = 32;
};

struct Options {
  double seconds = 0;
  Point flash, corner;
  std::string clip_sound;
  double clip_rate = 48000;
  std::string label = "run";
  double pass = 12.3;
  double polls_per_second = 2000;
  std::string ready, flashed, keep;
  std::string device = "@DEFAULT_MONITOR@";
};

bool ParsePoint(const char* text, Point& point) {
  return std::sscanf(text, "%d,%d", &point.x, &point.y) == 2 && point.x >= 0 && point.y >= 0;
}

std::optional<Options> Parse(int argc, char** argv) {
  Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string name = argv[i];
    const char* value = argv[i + 1];
    if (name == "--seconds") {
      options.seconds = std::atof(value);
    } else if (name == "--flash") {
      if (!ParsePoint(value, options.flash)) return std::nullopt;
    } else if (name == "--corner") {
      if (!ParsePoint(value, options.corner)) return std::nullopt;
    } else if (name == "--clip-sound") {
      options.clip_sound = value;
    } else if (name == "--clip-rate") {
      options.clip_rate = std::atof(value);
    } else if (name == "--label") {
      options.label = value;
    } else if (name == "--polls-per-second") {
      options.polls_per_second = std::atof(value);
    } else if (name == "--pass-seconds") {
      options.pass = std::atof(value);
    } else if (name == "--ready") {
      options.ready = value;
    } else if (name == "--flashed") {
      options.flashed = value;
    } else if (name == "--keep") {
      options.keep = value;
    } else if (name == "--device") {
      options.device = value;
    } else {
      return std::nullopt;
    }
  }
  if (argc % 2 == 0 || options.seconds <= 0 || options.flash.x < 0 || options.corner.x < 0 ||
      options.clip_sound.empty() || options.clip_rate <= 0 || options.polls_per_second <= 0) {
    return std::nullopt;
  }
  return options;
}

std::optional<std::vector<float>> ReadSamples(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::vector<float> samples(bytes.size() / sizeof(float));
  std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
  return samples;
}

void Keep(const std::string& folder, const SoundRecorder& recorder, const SoundClock& clock,
          const std::vector<Change>& middle, const std::vector<Change>& corner,
          const std::vector<double>& beeps) {
  const std::vector<float>& sound = recorder.samples();
  std::ofstream(folder + "/sound.f32", std::ios::binary)
      .write(reinterpret_cast<const char*>(sound.data()),
             static_cast<std::streamsize>(sound.size() * sizeof(float)));
  std::FILE* text = std::fopen((folder + "/timeline.txt").c_str(), "w");
  if (!text) return;
  std::fprintf(text, "# time (s, CLOCK_MONOTONIC) what value\n");
  std::fprintf(text, "%.6f sound-start %.0f %.1f\n", clock.start, kRecordRate,
               clock.rate_error * 1e6);
  for (const Change& change : middle)
    std::fprintf(text, "%.6f middle %d\n", change.time, change.value);
  for (const Change& change : corner)
    std::fprintf(text, "%.6f corner %d\n", change.time, change.value);
  for (double beep : beeps) std::fprintf(text, "%.6f beep 1\n", beep);
  std::fclose(text);
  std::FILE* answers = std::fopen((folder + "/sound-clock.txt").c_str(), "w");
  if (!answers) return;
  std::fprintf(answers,
               "# asked-and-told-middle round-trip heard written on-the-way sink-ahead (s)\n");
  for (const Anchor& anchor : recorder.anchors()) {
    std::fprintf(answers, "%.6f %.6f %.6f %.6f %.6f %.6f\n", anchor.answer.time,
                 anchor.answer.round_trip, anchor.answer.heard, anchor.written, anchor.on_the_way,
                 anchor.sink_ahead);
  }
  std::fclose(answers);
  std::FILE* arrivals = std::fopen((folder + "/sound-arrivals.txt").c_str(), "w");
  if (!arrivals) return;
  std::fprintf(arrivals, "# read-time samples-so-far\n");
  for (const SoundRecorder::Arrival& arrival : recorder.arrivals()) {
    std::fprintf(arrivals, "%.6f %zu\n", arrival.time, arrival.samples);
  }
  std::fclose(arrivals);
}

std::string Figure(const std::optional<double>& value) {
  if (!value) return "none";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", *value);
  return text;
}

int Run(const Options& options) {
  std::optional<std::vector<float>> clip_sound = ReadSamples(options.clip_sound);
  if (!clip_sound) {
    std::fprintf(stderr, "av_probe: cannot read %s\n", options.clip_sound.c_str());
    return 1;
  }
  std::optional<double> clip_offset = ClipOffset(BeepOnsets(*clip_sound, options.clip_rate));
  if (!clip_offset) {
    std::fprintf(stderr, "av_probe: no beep in the clip's sound %s\n", options.clip_sound.c_str());
    return 1;
  }

  std::string error;
  ScreenWatch screen;
  if (!screen.Open(error)) {
    std::fprintf(stderr, "av_probe: %s\n", error.c_str());
    return 1;
  }
  SoundRecorder sound;
  if (!sound.Open(options.device, error)) {
    std::fprintf(stderr, "av_probe: cannot record %s: %s\n", options.device.c_str(), error.c_str());
    return 1;
  }
  if (!sound.WaitForFirstSound(5)) {
    std::fprintf(stderr, "av_probe: no sound came from %s within 5 s\n", options.device.c_str());
    return 1;
  }
  if (!options.ready.empty()) std::fclose(std::fopen(options.ready.c_str(), "w"));

  std::vector<Change> middle, corner;
  double start = Now();
  auto flashed = [&] {
    if (!options.flashed.empty()) std::fclose(std::fopen(options.flashed.c_str(), "w"));
  };
  // Sleeps between polls end when asked, not up to 50 us later.
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  long polls = screen.Watch(options.flash, options.corner, 1 / options.polls_per_second,
                            start + options.seconds, options.pass, flashed, middle, corner);
  double polls_per_second = static_cast<double>(polls) / (Now() - start);
  sound.Close();

  std::vector<ClockAnswer> answers;
  for (const Anchor& anchor : sound.anchors()) answers.push_back(anchor.answer);
  std::optional<SoundClock> clock = FitSoundClock(answers);
  if (!clock) {
    std::fprintf(stderr, "av_probe: the sound server never told the stream's timing\n");
    return 1;
  }
  std::vector<double> beeps = BeepOnsets(sound.samples(), kRecordRate);
  for (double& beep : beeps) beep = clock->start + beep * (1 + clock->rate_error);
  if (!options.keep.empty()) {
    Keep(options.keep, sound, *clock, middle, corner, beeps);
  }

  RunFigures figures = Analyse(middle, corner, beeps, *clip_offset, ClipShape{});
  std::optional<double> spread;
  if (figures.lag_max_ms) spread = *figures.lag_max_ms - *figures.lag_min_ms;
  // A check of the sound's place on the clock: a sample comes to the probe when the sink renders
  // it, ahead of its being heard, or, held back while the sink may still change it (with a
  // player's stream on it), as it is heard. So the reads come at or a little before the newest
  // sample's time, their median within a fraction of a millisecond of it, unless the sound is
  // placed wrong.
  std::vector<double> arrivals;
  for (const SoundRecorder::Arrival& arrival : sound.arrivals()) {
    arrivals.push_back(arrival.time - clock->start -
                       static_cast<double>(arrival.samples) / kRecordRate *
                           (1 + clock->rate_error));
  }
  double arrival_median = Median(arrivals);
  const PictureTiming& pictures = figures.pictures;
  std::printf(
      "%s: picture after its sound by %s ms (median of the flashes after the first; %s to %s, "
      "spread %s), first flash %s ms; %.1f %% of %d pictures within 5 ms of their time "
      "(%.1f %% 50 ms after the one before, to 10 ms), %d dropped, worst %.1f ms off; %d flashes, "
      "%d beeps, %.1f ms of silence slipped into the sound; %.0f polls a second\n",
      options.label.c_str(), Figure(figures.lag_median_ms).c_str(),
      Figure(figures.lag_min_ms).c_str(), Figure(figures.lag_max_ms).c_str(),
      Figure(spread).c_str(), Figure(figures.first_lag_ms).c_str(), pictures.on_time_share * 100,
      pictures.shown, pictures.steady_share * 100, pictures.dropped, pictures.worst_ms,
      figures.flashes, figures.beeps, figures.slip_ms, polls_per_second);
  std::printf(
      "av_sync label=%s flashes=%d beeps=%d lag_median_ms=%s lag_min_ms=%s lag_max_ms=%s "
      "lag_spread_ms=%s first_lag_ms=%s shown=%d on_time_pct=%.1f steady_pct=%.1f dropped=%d "
      "worst_ms=%.1f polls_per_s=%.0f clip_offset_ms=%.2f sound_answers=%d sound_late_answers=%d "
      "sound_round_trip_ms=%.3f sound_fit_spread_ms=%.3f sound_rate_error_ppm=%.0f "
      "sound_arrival_ms=%.3f slip_ms=%.1f lag_beyond_slip_ms=%s\n",
      options.label.c_str(), figures.flashes, figures.beeps, Figure(figures.lag_median_ms).c_str(),
      Figure(figures.lag_min_ms).c_str(), Figure(figures.lag_max_ms).c_str(),
      Figure(spread).c_str(), Figure(figures.first_lag_ms).c_str(), pictures.shown,
      pictures.on_time_share * 100, pictures.steady_share * 100, pictures.dropped,
      pictures.worst_ms, polls_per_second, *clip_offset * 1000, clock->answers, clock->late_answers,
      clock->round_trip_ms, clock->spread_ms, clock->rate_error * 1e6, arrival_median * 1000,
      figures.slip_ms, Figure(figures.lag_beyond_slip_ms).c_str());
  return 0;
}

}  // namespace
}  // namespace quorvane::av_sync

int main(int argc, char** argv) {
  std::optional<quorvane::av_sync::Options> options = quorvane::av_sync::Parse(argc, argv);
  if (!options) {
    std::fprintf(stderr,
                 "usage: av_probe --seconds S --flash X,Y --corner X,Y --clip-sound FILE "
                 "[--clip-rate 48000] [--pass-seconds 12.3] [--polls-per-second 2000] "
                 "[--label TEXT] [--ready FILE] [--flashed FILE] [--keep FOLDER] "
                 "[--device SOURCE]\n");
    return 2;
  }
  return quorvane::av_sync::Run(*options);
}
