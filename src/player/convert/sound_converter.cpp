#include "player/convert/sound_converter.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

#include <cmath>
#include <cstring>

namespace quorvane::player {

namespace {

// The frame's channel layout, or the usual one of its channel count where it gives only that.
AVChannelLayout LayoutOf(const AVFrame* f) {
  AVChannelLayout layout{};
  if (f->ch_layout.order == AV_CHANNEL_ORDER_NATIVE && av_channel_layout_check(&f->ch_layout)) {
    av_channel_layout_from_mask(&layout, f->ch_layout.u.mask);
  } else {
    av_channel_layout_default(&layout, f->ch_layout.nb_channels);
  }
  return layout;
}

uint64_t MaskOf(const AVChannelLayout& layout) {
  return layout.order == AV_CHANNEL_ORDER_NATIVE ? layout.u.mask : 0;
}

// A decoder's float that is not a number, or endless, would stay in the resampler's filter: as
// silence instead.
float Finite(double value) { return std::isfinite(value) ? static_cast<float>(value) : 0.0f; }

float SampleAt(const uint8_t* p, AVSampleFormat format) {
  switch (format) {
    case AV_SAMPLE_FMT_U8:
      return static_cast<float>(*p - 128) / 128.0f;
    case AV_SAMPLE_FMT_S16: {
      int16_t v;
      std::memcpy(&v, p, sizeof v);
      return static_cast<float>(v) / 32768.0f;
    }
    case AV_SAMPLE_FMT_S32: {
      int32_t v;
      std::memcpy(&v, p, sizeof v);
      return static_cast<float>(static_cast<double>(v) / 2147483648.0);
    }
    case AV_SAMPLE_FMT_FLT: {
      float v;
      std::memcpy(&v, p, sizeof v);
      return Finite(v);
    }
    default: {
      double v;
      std::memcpy(&v, p, sizeof v);
      return Finite(v);
    }
  }
}

// The frame's samples as float interleaved ones with the same channels and rate, without a
// resampler; false for a sample format this does not know.
bool CopySamples(const AVFrame* f, std::vector<float>& samples) {
  auto format = static_cast<AVSampleFormat>(f->format);
  AVSampleFormat packed = av_get_packed_sample_fmt(format);
  if (packed != AV_SAMPLE_FMT_U8 && packed != AV_SAMPLE_FMT_S16 && packed != AV_SAMPLE_FMT_S32 &&
      packed != AV_SAMPLE_FMT_FLT && packed != AV_SAMPLE_FMT_DBL) {
    return false;
  }
  size_t channels = static_cast<size_t>(f->ch_layout.nb_channels);
  size_t frames = static_cast<size_t>(f->nb_samples);
  size_t size = static_cast<size_t>(av_get_bytes_per_sample(packed));
  bool planar = av_sample_fmt_is_planar(format) != 0;
  samples.resize(frames * channels);
  for (size_t c = 0; c < channels; ++c) {
    const uint8_t* from = planar ? f->extended_data[c] : f->extended_data[0] + c * size;
    size_t step = planar ? size : size * channels;
    for (size_t i = 0; i < frames; ++i)
      samples[i * channels + c] = SampleAt(from + i * step, packed);
  }
  return true;
}

}  // namespace

SoundConverter::~SoundConverter() { swr_free(&resampler_); }

bool SoundConverter::UpdateResampler(const AVFrame* f) {
  AVChannelLayout in_layout = LayoutOf(f);
  uint64_t mask = MaskOf(in_layout);
  if (resampler_ && f->sample_rate == in_rate_ && f->format == in_format_ &&
      in_layout.nb_channels == in_channels_ && mask == in_layout_mask_) {
    return true;
  }
  swr_free(&resampler_);
  in_rate_ = f->sample_rate;
  in_format_ = f->format;
  in_channels_ = in_layout.nb_channels;
  in_layout_mask_ = mask;
  AVChannelLayout out_layout{};
  if (out_.layout != 0) {
    av_channel_layout_from_mask(&out_layout, out_.layout);
  } else {
    av_channel_layout_default(&out_layout, out_.channels);
  }
  if (swr_alloc_set_opts2(&resampler_, &out_layout, AV_SAMPLE_FMT_FLT, out_.rate, &in_layout,
                          static_cast<AVSampleFormat>(f->format), f->sample_rate, 0, nullptr) < 0 ||
      swr_init(resampler_) < 0) {
    swr_free(&resampler_);
    return false;
  }
  return true;
}

bool SoundConverter::Convert(const AVFrame* f, std::vector<float>& samples) {
  int channels = f->ch_layout.nb_channels;
  if (f->nb_samples <= 0 || f->sample_rate <= 0 || channels <= 0) return false;
  if (out_.rate == 0) {
    // The first frame's format is the clip's; more channels than a device could take are mixed
    // down to two.
    AVChannelLayout layout = LayoutOf(f);
    out_ = channels <= kMostChannels ? SoundFormat{f->sample_rate, channels, MaskOf(layout)}
                                     : SoundFormat{f->sample_rate, 2, AV_CH_LAYOUT_STEREO};
  }
  if (channels == out_.channels && f->sample_rate == out_.rate &&
      MaskOf(LayoutOf(f)) == out_.layout) {
    return CopySamples(f, samples);
  }
  if (!UpdateResampler(f)) return false;
  int most = swr_get_out_samples(resampler_, f->nb_samples);
  if (most <= 0) return false;
  samples.resize(static_cast<size_t>(most) * static_cast<size_t>(out_.channels));
  uint8_t* out[1] = {reinterpret_cast<uint8_t*>(samples.data())};
  int got = swr_convert(resampler_, out, most, const_cast<const uint8_t**>(f->extended_data),
                        f->nb_samples);
  // A conversion that failed (it ran out of memory) may leave the resampler half set up, and
  // the next one would divide by zero inside it: the next frame gets a new one.
  if (got < 0) swr_free(&resampler_);
  if (got <= 0) return false;
  samples.resize(static_cast<size_t>(got) * static_cast<size_t>(out_.channels));
  return true;
}

}  // namespace quorvane::player
