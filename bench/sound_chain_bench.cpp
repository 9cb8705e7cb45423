// What bringing a clip's sound to the device costs: a minute of a decoder's sound (planar float
// frames of 1024 samples, stereo) at each rate a clip comes in, through the SoundConverter and
// the MixConverter to a 48 kHz float stereo device, against FFmpeg's resampler at its defaults
// doing the same in one step. Prints one line per rate with its target.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
}

#include "player/convert/mix_converter.h"
#include "player/convert/sound_converter.h"

namespace {

using quorvane::player::MixConverter;
using quorvane::player::MixFormat;
using quorvane::player::SoundConverter;

constexpr int kSeconds = 60;
constexpr int kFrame = 1024;
constexpr int kDeviceRate = 48000;
// The share of one core bringing sound to the device may take.
constexpr double kTargetShare = 0.5;

AVFrame* Frame(int rate) {
  AVFrame* frame = av_frame_alloc();
  frame->format = AV_SAMPLE_FMT_FLTP;
  frame->sample_rate = rate;
  frame->nb_samples = kFrame;
  av_channel_layout_default(&frame->ch_layout, 2);
  av_frame_get_buffer(frame, 0);
  for (int c = 0; c < 2; ++c) {
    auto* samples = reinterpret_cast<float*>(frame->data[c]);
    for (int i = 0; i < kFrame; ++i)
      samples[i] = static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * 997 * i / rate));
  }
  return frame;
}

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// Seconds of work for kSeconds of sound.
double Chain(AVFrame* frame) {
  SoundConverter decoded;
  MixConverter mix;
  std::vector<float> samples;
  std::vector<uint8_t> out;
  auto start = std::chrono::steady_clock::now();
  int frames = kSeconds * frame->sample_rate / kFrame;
  for (int i = 0; i < frames; ++i) {
    decoded.Convert(frame, samples);
    if (i == 0) mix.Start(decoded.Format(), {kDeviceRate, 2, 0x3, MixFormat::Sample::kFloat});
    out.clear();
    mix.Convert(samples.data(), samples.size() / 2, out);
  }
  return Seconds(std::chrono::steady_clock::now() - start);
}

double FFmpegDefaults(AVFrame* frame) {
  AVChannelLayout stereo{};
  av_channel_layout_default(&stereo, 2);
  SwrContext* swr = nullptr;
  swr_alloc_set_opts2(&swr, &stereo, AV_SAMPLE_FMT_FLT, kDeviceRate, &stereo, AV_SAMPLE_FMT_FLTP,
                      frame->sample_rate, 0, nullptr);
  swr_init(swr);
  std::vector<uint8_t> out(static_cast<size_t>(swr_get_out_samples(swr, kFrame) + 64) * 8);
  auto start = std::chrono::steady_clock::now();
  int frames = kSeconds * frame->sample_rate / kFrame;
  for (int i = 0; i < frames; ++i) {
    uint8_t* into[1] = {out.data()};
    swr_convert(swr, into, static_cast<int>(out.size() / 8),
                const_cast<const uint8_t**>(frame->extended_data), kFrame);
  }
  double took = Seconds(std::chrono::steady_clock::now() - start);
  swr_free(&swr);
  return took;
}

}  // namespace

int main() {
  for (int rate : {8000, 22050, 44100, 48000}) {
    AVFrame* frame = Frame(rate);
    double chain = Chain(frame), defaults = FFmpegDefaults(frame);
    double share = 100 * chain / kSeconds;
    std::printf(
        "sound to a 48 kHz float stereo device, %d Hz stereo: %.3f %% of a core (FFmpeg's "
        "resampler at its defaults %.3f %%; target < %.1f %%): %s\n",
        rate, share, 100 * defaults / kSeconds, kTargetShare,
        share < kTargetShare ? "met" : "not met");
    av_frame_free(&frame);
  }
  return 0;
}
