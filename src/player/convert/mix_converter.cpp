#include "player/convert/mix_converter.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <bit>

namespace quorvane::player {

namespace {

constexpr uint64_t kFrontLeft = 0x1, kFrontRight = 0x2, kFrontCentre = 0x4;

// A longer filter than FFmpeg's default (32 taps): its noise stays below what 16-bit samples
// carry at every rate a clip comes in.
constexpr int kFilterTaps = 64;

AVChannelLayout LayoutOf(uint64_t mask, int channels) {
  AVChannelLayout layout{};
  if (mask == 0 || std::popcount(mask) != channels ||
      av_channel_layout_from_mask(&layout, mask) < 0) {
    av_channel_layout_default(&layout, channels);
  }
  return layout;
}

// The device's channel of a speaker, or -1.
int ChannelOf(const AVChannelLayout& layout, uint64_t speaker) {
  if (layout.order != AV_CHANNEL_ORDER_NATIVE || !(layout.u.mask & speaker)) return -1;
  return std::popcount(layout.u.mask & (speaker - 1));
}

// A clip of one or two channels: its left to the front left speaker, its right to the front
// right; mono to both at full level, as a device of one speaker would play it. A device without
// front left and right takes the front centre, or else its first channel, with both mixed down.
// Other speakers stay silent. Row by row, a device channel's share of each clip channel.
std::vector<double> FrontMatrix(int from_channels, const AVChannelLayout& to) {
  std::vector<double> matrix(static_cast<size_t>(to.nb_channels * from_channels), 0.0);
  auto at = [&](int out, int in) -> double& {
    return matrix[static_cast<size_t>(out * from_channels + in)];
  };
  int left = ChannelOf(to, kFrontLeft);
  int right = ChannelOf(to, kFrontRight);
  if (left >= 0 && right >= 0) {
    at(left, 0) = 1.0;
    at(right, from_channels - 1) = 1.0;
  } else {
    int one = std::max(ChannelOf(to, kFrontCentre), 0);
    for (int in = 0; in < from_channels; ++in) at(one, in) = 1.0 / from_channels;
  }
  return matrix;
}

AVSampleFormat SampleFormatOf(MixFormat::Sample sample) {
  switch (sample) {
    case MixFormat::Sample::kInt16:
      return AV_SAMPLE_FMT_S16;
    case MixFormat::Sample::kInt32:
      return AV_SAMPLE_FMT_S32;
    case MixFormat::Sample::kFloat:
      break;
  }
  return AV_SAMPLE_FMT_FLT;
}

}  // namespace

MixConverter::~MixConverter() { swr_free(&resampler_); }

bool MixConverter::Start(SoundFormat from, MixFormat to) {
  swr_free(&resampler_);
  if (from.rate <= 0 || from.channels < 1 || from.channels > kMostChannels || to.rate <= 0 ||
      to.channels < 1) {
    return false;
  }
  from_ = from;
  to_ = to;
  AVChannelLayout in = LayoutOf(from.layout, from.channels);
  AVChannelLayout out = LayoutOf(to.speakers, to.channels);
  bool ok = swr_alloc_set_opts2(&resampler_, &out, SampleFormatOf(to.sample), to.rate, &in,
                                AV_SAMPLE_FMT_FLT, from.rate, 0, nullptr) >= 0 &&
            av_opt_set_int(resampler_, "filter_size", kFilterTaps, 0) >= 0;
  if (ok && from.channels <= 2) {
    std::vector<double> matrix = FrontMatrix(from.channels, out);
    ok = swr_set_matrix(resampler_, matrix.data(), from.channels) >= 0;
  }
  if (!ok || swr_init(resampler_) < 0) {
    swr_free(&resampler_);
    return false;
  }
  return true;
}

bool MixConverter::Convert(const float* samples, size_t frames, std::vector<uint8_t>& out) {
  if (!resampler_) return false;
  if (frames == 0) return true;
  int most = swr_get_out_samples(resampler_, static_cast<int>(frames));
  if (most <= 0) return true;
  size_t at = out.size();
  out.resize(at + static_cast<size_t>(most) * static_cast<size_t>(to_.FrameBytes()));
  uint8_t* into[1] = {out.data() + at};
  const uint8_t* in[1] = {reinterpret_cast<const uint8_t*>(samples)};
  int got = swr_convert(resampler_, into, most, in, static_cast<int>(frames));
  if (got < 0) {
    out.resize(at);
    // A resampler that failed (out of memory) may be left half set up: a new one for the rest.
    Start(from_, to_);
    return false;
  }
  out.resize(at + static_cast<size_t>(got) * static_cast<size_t>(to_.FrameBytes()));
  return true;
}

void MixConverter::Flush(std::vector<uint8_t>& out) {
  if (!resampler_) return;
  int most = swr_get_out_samples(resampler_, 0);
  if (most <= 0) return;
  size_t at = out.size();
  out.resize(at + static_cast<size_t>(most) * static_cast<size_t>(to_.FrameBytes()));
  uint8_t* into[1] = {out.data() + at};
  int got = swr_convert(resampler_, into, most, nullptr, 0);
  out.resize(at + static_cast<size_t>(std::max(got, 0)) * static_cast<size_t>(to_.FrameBytes()));
}

}  // namespace quorvane::player
