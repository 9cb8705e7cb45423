#include "support/sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <numbers>
#include <string>
#include <thread>

#include "support/support.h"

namespace quorvane::e2e {

namespace {

WAVEFORMATEX StereoFormat() {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = kSoundRate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 4;
  format.nAvgBytesPerSec = kSoundRate * 4;
  return format;
}

std::wstring ControlFile(const wchar_t* name) {
  std::wstring folder = Environment(L"QUORVANE_SOUND_CONTROL");
  return folder.empty() ? folder : folder + L"\\" + name;
}

bool Request(const wchar_t* what) {
  std::wstring request = ControlFile(what);
  if (request.empty()) return false;
  WriteFileBytes(request, "request");
  // Done once the session has removed the request.
  return WaitUntil([&] { return GetFileAttributesW(request.c_str()) == INVALID_FILE_ATTRIBUTES; },
                   15000);
}

}  // namespace

size_t Recording::At(double seconds) const {
  double at = std::clamp(seconds, 0.0, Seconds()) * kSoundRate;
  return std::min(static_cast<size_t>(at), samples_.size());
}

std::vector<double> Recording::Levels(double frequency, double window_seconds) const {
  const size_t window = std::max<size_t>(1, static_cast<size_t>(window_seconds * kSoundRate));
  const double coefficient = 2 * std::cos(2 * std::numbers::pi * frequency / kSoundRate);
  std::vector<double> levels;
  for (size_t start = 0; start + window <= samples_.size(); start += window) {
    double s1 = 0, s2 = 0;
    for (size_t i = start; i < start + window; ++i) {
      double s = samples_[i] + coefficient * s1 - s2;
      s2 = s1;
      s1 = s;
    }
    double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    levels.push_back(2 * std::sqrt(std::max(power, 0.0)) / static_cast<double>(window));
  }
  return levels;
}

std::optional<Recording::Span> Recording::Heard(double frequency, double least,
                                                double window_seconds) const {
  std::vector<double> levels = Levels(frequency, window_seconds);
  auto loud = [&](double level) { return level >= least; };
  auto first = std::find_if(levels.begin(), levels.end(), loud);
  if (first == levels.end()) return std::nullopt;
  auto last = std::find_if(levels.rbegin(), levels.rend(), loud);
  return Span{static_cast<double>(first - levels.begin()) * window_seconds,
              static_cast<double>(levels.rend() - last - 1) * window_seconds};
}

std::vector<Recording::Span> Recording::Silences(double frequency, double from, double to,
                                                 double least, double window_seconds) const {
  std::vector<double> levels = Levels(frequency, window_seconds);
  std::vector<Span> silences;
  auto first = static_cast<size_t>(std::max(from, 0.0) / window_seconds);
  auto end = std::min(levels.size(), static_cast<size_t>(std::max(to, 0.0) / window_seconds));
  for (size_t w = first; w < end; ++w) {
    if (levels[w] >= least) continue;
    double start = static_cast<double>(w) * window_seconds;
    if (!silences.empty() && silences.back().to >= start - window_seconds / 2) {
      silences.back().to = start + window_seconds;
    } else {
      silences.push_back({start, start + window_seconds});
    }
  }
  return silences;
}

double Recording::Frequency(double from, double to) const {
  size_t begin = At(from), end = At(to);
  double first = -1, last = -1;
  int crossings = 0;
  for (size_t i = begin + 1; i < end; ++i) {
    if (samples_[i - 1] < 0 && samples_[i] >= 0) {
      // Where the line between the two samples crosses zero.
      double fraction = -samples_[i - 1] / static_cast<double>(samples_[i] - samples_[i - 1]);
      double at = static_cast<double>(i - 1) + fraction;
      if (first < 0) first = at;
      last = at;
      ++crossings;
    }
  }
  if (crossings < 2) return 0;
  return (crossings - 1) * kSoundRate / (last - first);
}

double Recording::LargestStep(double from, double to) const {
  double largest = 0;
  for (size_t i = At(from) + 1; i < At(to); ++i) {
    largest = std::max(largest, std::abs(static_cast<double>(samples_[i]) - samples_[i - 1]));
  }
  return largest;
}

double Recording::Peak(double from, double to) const {
  double peak = 0;
  for (size_t i = At(from); i < At(to); ++i) {
    peak = std::max(peak, std::abs(static_cast<double>(samples_[i])));
  }
  return peak;
}

SoundRecorder::SoundRecorder() : file_(ControlFile(L"recording.raw")) {
  if (!Request(L"record")) {
    ADD_FAILURE() << "no sound to record (is the session's sound server running?)";
    return;
  }
  // The recorder takes a moment to deliver its first sound: nothing played before counts as heard.
  started_ = WaitUntil(
      [&] {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        return GetFileAttributesExW(file_.c_str(), GetFileExInfoStandard, &data) &&
               data.nFileSizeLow >= kSoundRate / 20 * 4;
      },
      5000);
  EXPECT_TRUE(started_) << "the recorder delivers nothing";
}

SoundRecorder::~SoundRecorder() {
  if (started_) Request(L"stop-recording");
}

Recording SoundRecorder::Stop() {
  if (!started_) return Recording({});
  started_ = false;
  EXPECT_TRUE(Request(L"stop-recording"));
  std::string bytes = ReadFileBytes(file_).value_or("");
  std::vector<int16_t> left(bytes.size() / 4);
  for (size_t i = 0; i < left.size(); ++i) std::memcpy(&left[i], bytes.data() + 4 * i, 2);
  return Recording(std::move(left));
}

double Recording::Breaks::Silent() const {
  double silent = 0;
  for (const Span& s : silences) silent += s.to - s.from;
  return silent;
}

double Recording::Breaks::LongestSilence() const {
  double longest = 0;
  for (const Span& s : silences) longest = std::max(longest, s.to - s.from);
  return longest;
}

Recording::Breaks Recording::BreaksOf(double frequency, Span inside) const {
  constexpr double kWindow = 0.01;
  Breaks breaks;
  double peak = Peak(inside.from, inside.to);
  breaks.silences = Silences(frequency, inside.from, inside.to, peak * 0.5, kWindow);
  // The sine's own steepest step is its amplitude times 2 pi f / rate; a little room above it.
  const double steepest = peak * 2 * std::numbers::pi * frequency / kSoundRate * 1.25 + 64;
  double stretch_from = inside.from;
  auto stretch_ends = [&](double at) {
    if (at - stretch_from > breaks.longest_whole.to - breaks.longest_whole.from) {
      breaks.longest_whole = {stretch_from, at};
    }
  };
  size_t next_silence = 0;
  const std::vector<Span>& silences = breaks.silences;
  for (double w = inside.from; w + kWindow <= inside.to; w += kWindow) {
    while (next_silence < silences.size() && silences[next_silence].to + kWindow < w) {
      ++next_silence;
    }
    // A silence's edges are steps of their own.
    bool near_silence =
        next_silence < silences.size() && silences[next_silence].from - 2 * kWindow < w;
    // From the window's last sample before it: a jump across two windows is in one of them.
    if (near_silence || LargestStep(w - 1.0 / kSoundRate, w + kWindow) > steepest) {
      if (!near_silence) ++breaks.jumps;
      stretch_ends(w);
      stretch_from = w + kWindow;
    }
  }
  stretch_ends(inside.to);
  return breaks;
}

MarkerTone::MarkerTone() {
  WAVEFORMATEX format = StereoFormat();
  if (waveOutOpen(&output_, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
    output_ = nullptr;
  }
}

MarkerTone::~MarkerTone() {
  if (!output_) return;
  waveOutReset(output_);
  if (header_.lpData) waveOutUnprepareHeader(output_, &header_, sizeof header_);
  waveOutClose(output_);
}

std::optional<double> MarkerTone::Play(double frequency, double seconds) {
  if (!output_) return std::nullopt;
  samples_.resize(static_cast<size_t>(seconds * kSoundRate) * 2);
  for (size_t i = 0; i < samples_.size() / 2; ++i) {
    double value =
        8000 * std::sin(2 * std::numbers::pi * frequency * static_cast<double>(i) / kSoundRate);
    samples_[2 * i] = samples_[2 * i + 1] = static_cast<int16_t>(value);
  }
  header_ = {};
  header_.lpData = reinterpret_cast<LPSTR>(samples_.data());
  header_.dwBufferLength = static_cast<DWORD>(samples_.size() * sizeof(int16_t));
  waveOutPrepareHeader(output_, &header_, sizeof header_);
  auto start = std::chrono::steady_clock::now();
  if (waveOutWrite(output_, &header_, sizeof header_) != MMSYSERR_NOERROR) return std::nullopt;
  // The device's position leaves 0 once it plays the first samples.
  for (;;) {
    MMTIME time{};
    time.wType = TIME_SAMPLES;
    waveOutGetPosition(output_, &time, sizeof time);
    double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (time.u.sample > 0) return waited;
    if (waited > 2) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
}

bool StopSoundServer() { return Request(L"stop"); }
bool StartSoundServer() { return Request(L"start"); }
bool FreezeSoundServer() { return Request(L"freeze"); }
bool ThawSoundServer() { return Request(L"thaw"); }
bool KillSoundStreams() { return Request(L"kill-streams"); }
std::optional<int> CountSoundStreams() {
  std::wstring file = ControlFile(L"streams");
  if (file.empty()) return std::nullopt;
  DeleteFileW(file.c_str());
  if (!Request(L"count-streams")) return std::nullopt;
  std::optional<std::string> text = ReadFileBytes(file);
  if (!text || text->empty()) return std::nullopt;
  return std::atoi(text->c_str());
}

}  // namespace quorvane::e2e
