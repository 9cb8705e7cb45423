#include "player/sound_converter.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
}

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

}  // namespace

SoundConverter::~SoundConverter() { swr_free(&resampler_); }

bool SoundConverter::UpdateResampler(const AVFrame* f, SoundFormat out) {
  AVChannelLayout in_layout = LayoutOf(f);
  uint64_t mask = in_layout.order == AV_CHANNEL_ORDER_NATIVE ? in_layout.u.mask : 0;
  if (resampler_ && f->sample_rate == in_rate_ && f->format == in_format_ &&
      in_layout.nb_channels == in_channels_ && mask == in_layout_mask_ && out == out_) {
    return true;
  }
  swr_free(&resampler_);
  in_rate_ = f->sample_rate;
  in_format_ = f->format;
  in_channels_ = in_layout.nb_channels;
  in_layout_mask_ = mask;
  AVChannelLayout out_layout{};
  av_channel_layout_default(&out_layout, out.channels);
  if (swr_alloc_set_opts2(&resampler_, &out_layout, AV_SAMPLE_FMT_S16, out.rate, &in_layout,
                          static_cast<AVSampleFormat>(f->format), f->sample_rate, 0, nullptr) < 0 ||
      swr_init(resampler_) < 0) {
    swr_free(&resampler_);
    return false;
  }
  return true;
}

bool SoundConverter::Convert(const AVFrame* f, std::vector<int16_t>& samples) {
  int channels = f->ch_layout.nb_channels;
  if (f->nb_samples <= 0 || f->sample_rate <= 0 || channels <= 0) return false;
  SoundFormat format = out_.rate ? out_ : SoundFormat{f->sample_rate, channels >= 2 ? 2 : 1};
  size_t frames = static_cast<size_t>(f->nb_samples);
  if (f->format == AV_SAMPLE_FMT_S16 && channels == format.channels &&
      f->sample_rate == format.rate) {
    // Already as the device takes it.
    samples.resize(frames * static_cast<size_t>(channels));
    std::memcpy(samples.data(), f->data[0], samples.size() * sizeof(int16_t));
    out_ = format;
    return true;
  }
  if (!UpdateResampler(f, format)) return false;
  out_ = format;
  int most = swr_get_out_samples(resampler_, f->nb_samples);
  if (most <= 0) return false;
  samples.resize(static_cast<size_t>(most) * static_cast<size_t>(format.channels));
  uint8_t* out[1] = {reinterpret_cast<uint8_t*>(samples.data())};
  int got = swr_convert(resampler_, out, most, const_cast<const uint8_t**>(f->extended_data),
                        f->nb_samples);
  if (got <= 0) return false;
  samples.resize(static_cast<size_t>(got) * static_cast<size_t>(format.channels));
  return true;
}

}  // namespace quorvane::player
