#include "player/convert/mix_converter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

namespace quorvane::player {
namespace {

constexpr double kLevel = 0.5;

std::vector<float> Sine(double frequency, int rate, int channels, double seconds) {
  std::vector<float> samples;
  for (int i = 0; i < static_cast<int>(seconds * rate); ++i) {
    double value = kLevel * std::sin(2 * std::numbers::pi * frequency * i / rate);
    for (int c = 0; c < channels; ++c) {
      samples.push_back(static_cast<float>(c == 1 ? -value : value));  // right: inverted
    }
  }
  return samples;
}

// Channel c of every frame, as a number from -1 to 1.
std::vector<double> Channel(const std::vector<uint8_t>& bytes, const MixFormat& format, int c) {
  std::vector<double> values;
  for (size_t at = static_cast<size_t>(c * format.SampleBytes()); at < bytes.size();
       at += static_cast<size_t>(format.FrameBytes())) {
    if (format.sample == MixFormat::Sample::kFloat) {
      float v;
      std::memcpy(&v, &bytes[at], 4);
      values.push_back(v);
    } else if (format.sample == MixFormat::Sample::kInt16) {
      int16_t v;
      std::memcpy(&v, &bytes[at], 2);
      values.push_back(v / 32768.0);
    } else {
      int32_t v;
      std::memcpy(&v, &bytes[at], 4);
      values.push_back(v / 2147483648.0);
    }
  }
  return values;
}

double Peak(const std::vector<double>& values) {
  double peak = 0;
  for (size_t i = values.size() / 4; i < values.size(); ++i) peak = std::max(peak, values[i]);
  return peak;
}

// Rising zero crossings a second, away from the start.
double Pitch(const std::vector<double>& values, int rate) {
  int crossings = 0;
  size_t from = values.size() / 4;
  for (size_t i = from + 1; i < values.size(); ++i)
    crossings += values[i - 1] < 0 && values[i] >= 0;
  return crossings * static_cast<double>(rate) / static_cast<double>(values.size() - from);
}

TEST(MixConverter, BringsTheClipsSoundToTheDevicesRateChannelsAndSamples) {
  struct Case {
    SoundFormat from;
    MixFormat to;
    int left, right;  // the device channels expected to carry the clip's left and right
  } cases[] = {
      // Mono to both sides of a stereo float device at another rate, at full level.
      {{44100, 1}, {48000, 2, 0, MixFormat::Sample::kFloat}, 0, 1},
      // Stereo to the front left and right of 5.1 in 32-bit integers, the rest silent.
      {{48000, 2}, {48000, 6, 0x3F, MixFormat::Sample::kInt32}, 0, 1},
      // A device whose channels are front centre then front left and right.
      {{22050, 2}, {44100, 3, 0x7, MixFormat::Sample::kInt16}, 0, 1},
      // One speaker: both sides mixed into it (the right is the left inverted: silence).
      {{44100, 2}, {48000, 1, 0x4, MixFormat::Sample::kFloat}, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.from.rate) + " to " + std::to_string(c.to.rate) + ", " +
                 std::to_string(c.to.channels) + " channels");
    MixConverter converter;
    ASSERT_TRUE(converter.Start(c.from, c.to));
    std::vector<float> sine = Sine(1000, c.from.rate, c.from.channels, 0.5);
    std::vector<uint8_t> out;
    size_t frames = sine.size() / static_cast<size_t>(c.from.channels);
    // In uneven pieces, as decoded sound comes.
    for (size_t at = 0; at < frames; at += 1234) {
      ASSERT_TRUE(converter.Convert(sine.data() + at * static_cast<size_t>(c.from.channels),
                                    std::min<size_t>(1234, frames - at), out));
    }
    converter.Flush(out);
    size_t expected = frames * static_cast<size_t>(c.to.rate) / static_cast<size_t>(c.from.rate);
    EXPECT_NEAR(static_cast<double>(out.size() / static_cast<size_t>(c.to.FrameBytes())),
                static_cast<double>(expected), 2);
    for (int channel = 0; channel < c.to.channels; ++channel) {
      std::vector<double> values = Channel(out, c.to, channel);
      bool carries = channel == c.left || channel == c.right;
      bool cancelled = c.from.channels == 2 && c.left == c.right;
      if (carries && !cancelled) {
        EXPECT_NEAR(Peak(values), kLevel, 0.01) << "channel " << channel;
        EXPECT_NEAR(Pitch(values, c.to.rate), 1000, 10) << "channel " << channel;
      } else {
        EXPECT_LT(Peak(values), 0.01) << "channel " << channel;
      }
    }
  }
}

}  // namespace
}  // namespace quorvane::player
