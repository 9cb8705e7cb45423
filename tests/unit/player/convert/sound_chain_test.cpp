// The whole way of a clip's sound to a device: the decoder's frames (planar float, as cook, AAC
// and AC-3 give them, or 16-bit, as RealAudio 14.4 does) copied by the SoundConverter, then
// brought to a 48 kHz float device by the MixConverter. Its noise is measured on a sine and held
// against FFmpeg's own resampler at its defaults, and against the chain it replaced (16 bits at
// the clip's rate, then a second resampler).
#include <gtest/gtest.h>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
}

#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <vector>

#include "player/convert/mix_converter.h"
#include "player/convert/sound_converter.h"

namespace quorvane::player {
namespace {

constexpr double kTone = 997;  // no whole number of periods in a block of samples
constexpr double kLevel = 0.5;
constexpr int kDeviceRate = 48000;

struct FrameFree {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;

// One second of the tone as a decoder's mono frame of this sample format.
FramePtr ToneFrame(int rate, AVSampleFormat format) {
  FramePtr frame(av_frame_alloc());
  frame->format = format;
  frame->sample_rate = rate;
  frame->nb_samples = rate;
  av_channel_layout_default(&frame->ch_layout, 1);
  EXPECT_EQ(av_frame_get_buffer(frame.get(), 0), 0);
  for (int i = 0; i < rate; ++i) {
    double value = kLevel * std::sin(2 * std::numbers::pi * kTone * i / rate);
    if (format == AV_SAMPLE_FMT_FLTP) {
      reinterpret_cast<float*>(frame->data[0])[i] = static_cast<float>(value);
    } else {
      reinterpret_cast<int16_t*>(frame->data[0])[i] =
          static_cast<int16_t>(std::lrint(value * 32767));
    }
  }
  return frame;
}

// The signal-to-noise ratio of a sine of the tone in the middle half of samples (one channel of
// what a device got), in dB: the sine of best fit is the signal, the rest the noise.
double SignalToNoise(const std::vector<float>& samples, int rate) {
  size_t from = samples.size() / 4, to = samples.size() * 3 / 4;
  double ss = 0, sc = 0, cc = 0, ys = 0, yc = 0;
  for (size_t i = from; i < to; ++i) {
    double phase = 2 * std::numbers::pi * kTone * static_cast<double>(i) / rate;
    double s = std::sin(phase), c = std::cos(phase);
    ss += s * s, sc += s * c, cc += c * c, ys += samples[i] * s, yc += samples[i] * c;
  }
  double det = ss * cc - sc * sc;
  double a = (ys * cc - yc * sc) / det, b = (yc * ss - ys * sc) / det;
  double signal = 0, noise = 0;
  for (size_t i = from; i < to; ++i) {
    double phase = 2 * std::numbers::pi * kTone * static_cast<double>(i) / rate;
    double fit = a * std::sin(phase) + b * std::cos(phase);
    signal += fit * fit;
    noise += (samples[i] - fit) * (samples[i] - fit);
  }
  return 10 * std::log10(signal / noise);
}

// Our chain, into a mono 48 kHz float device.
std::vector<float> ThroughTheChain(const AVFrame* frame) {
  SoundConverter decoded;
  std::vector<float> samples;
  EXPECT_TRUE(decoded.Convert(frame, samples));
  MixConverter mix;
  EXPECT_TRUE(mix.Start(decoded.Format(), {kDeviceRate, 1, 0x4, MixFormat::Sample::kFloat}));
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(mix.Convert(samples.data(), samples.size(), bytes));
  mix.Flush(bytes);
  std::vector<float> out(bytes.size() / sizeof(float));
  std::memcpy(out.data(), bytes.data(), out.size() * sizeof(float));
  return out;
}

// FFmpeg's resampler at its defaults, from the frame's format to out_format at 48 kHz; with
// through_16_bits, to 16 bits at the frame's own rate first.
std::vector<float> ThroughFFmpeg(const AVFrame* frame, bool through_16_bits) {
  AVChannelLayout mono{};
  av_channel_layout_default(&mono, 1);
  auto convert = [&](const uint8_t* const* in, int frames, AVSampleFormat in_format, int in_rate,
                     AVSampleFormat out_format, int out_rate, std::vector<uint8_t>& out) {
    SwrContext* swr = nullptr;
    EXPECT_GE(swr_alloc_set_opts2(&swr, &mono, out_format, out_rate, &mono, in_format, in_rate, 0,
                                  nullptr),
              0);
    EXPECT_GE(swr_init(swr), 0);
    int most = swr_get_out_samples(swr, frames) + 256;
    out.assign(static_cast<size_t>(most) * static_cast<size_t>(av_get_bytes_per_sample(out_format)),
               0);
    uint8_t* into[1] = {out.data()};
    int got = swr_convert(swr, into, most, const_cast<const uint8_t**>(in), frames);
    uint8_t* rest[1] = {out.data() + got * av_get_bytes_per_sample(out_format)};
    got += swr_convert(swr, rest, most - got, nullptr, 0);
    out.resize(static_cast<size_t>(got) * static_cast<size_t>(av_get_bytes_per_sample(out_format)));
    swr_free(&swr);
    return got;
  };
  auto in_format = static_cast<AVSampleFormat>(frame->format);
  std::vector<uint8_t> bytes;
  if (through_16_bits) {
    std::vector<uint8_t> s16;
    int frames = convert(frame->extended_data, frame->nb_samples, in_format, frame->sample_rate,
                         AV_SAMPLE_FMT_S16, frame->sample_rate, s16);
    const uint8_t* in[1] = {s16.data()};
    convert(in, frames, AV_SAMPLE_FMT_S16, frame->sample_rate, AV_SAMPLE_FMT_FLT, kDeviceRate,
            bytes);
  } else {
    convert(frame->extended_data, frame->nb_samples, in_format, frame->sample_rate,
            AV_SAMPLE_FMT_FLT, kDeviceRate, bytes);
  }
  std::vector<float> out(bytes.size() / sizeof(float));
  std::memcpy(out.data(), bytes.data(), out.size() * sizeof(float));
  return out;
}

TEST(SoundChain, ASinesNoiseIsNoMoreThanFFmpegsDefaultResamplersAtEveryRate) {
  for (int rate : {8000, 22050, 44100, 48000}) {
    SCOPED_TRACE(rate);
    FramePtr frame = ToneFrame(rate, AV_SAMPLE_FMT_FLTP);
    std::vector<float> ours = ThroughTheChain(frame.get());
    ASSERT_NEAR(static_cast<double>(ours.size()), kDeviceRate, 64) << "a second in, a second out";
    double chain = SignalToNoise(ours, kDeviceRate);
    double defaults = SignalToNoise(ThroughFFmpeg(frame.get(), false), kDeviceRate);
    double before = SignalToNoise(ThroughFFmpeg(frame.get(), true), kDeviceRate);
    std::printf(
        "%5d Hz: signal to noise %.1f dB; FFmpeg's defaults %.1f dB; through 16 bits %.1f dB\n",
        rate, chain, defaults, before);
    EXPECT_GE(chain, defaults - 0.5);
    // Below what 16 bits carry, where the chain's only step is the resampler's.
    EXPECT_GT(chain, 100);
  }
}

// The device's sound keeps step with the clip's: a click at the clip's moment t comes out at the
// device's frame t x its rate, from every rate (the sound output counts the clip's time by the
// device's frames).
TEST(SoundChain, WhatComesOutKeepsStepWithWhatWentIn) {
  for (int rate : {8000, 22050, 44100, 48000}) {
    SCOPED_TRACE(rate);
    FramePtr frame = ToneFrame(rate, AV_SAMPLE_FMT_FLTP);
    auto* samples = reinterpret_cast<float*>(frame->data[0]);
    std::fill(samples, samples + rate, 0.0f);
    samples[rate / 2] = 1.0f;  // half a second in
    std::vector<float> out = ThroughTheChain(frame.get());
    auto peak = std::max_element(out.begin(), out.end());
    double at = static_cast<double>(peak - out.begin()) / kDeviceRate;
    EXPECT_NEAR(at, 0.5, 1.0 / rate + 1.0 / kDeviceRate);
  }
}

// A decoder's 16-bit sound keeps every bit of it: at the device's own rate the float device gets
// the very samples, scaled.
TEST(SoundChain, SixteenBitSoundAtTheDevicesRateArrivesUnchanged) {
  FramePtr frame = ToneFrame(kDeviceRate, AV_SAMPLE_FMT_S16);
  std::vector<float> ours = ThroughTheChain(frame.get());
  ASSERT_EQ(ours.size(), static_cast<size_t>(kDeviceRate));
  const int16_t* in = reinterpret_cast<const int16_t*>(frame->data[0]);
  for (size_t i = 0; i < ours.size(); i += 97) EXPECT_EQ(ours[i], in[i] / 32768.0f) << i;
}

}  // namespace
}  // namespace quorvane::player
