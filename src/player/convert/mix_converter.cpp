#include "player/convert/mix_converter.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quorvane::player {

namespace {

constexpr uint32_t kFrontLeft = 0x1, kFrontRight = 0x2, kFrontCentre = 0x4;

// The speaker of each channel, in channel order, from Windows' speaker bits (ascending).
std::vector<uint32_t> SpeakersOf(const MixFormat& format) {
  std::vector<uint32_t> speakers;
  uint32_t mask = format.speakers;
  if (mask == 0) {
    mask = format.channels == 1   ? kFrontCentre
           : format.channels >= 2 ? kFrontLeft | kFrontRight
                                  : 0;
  }
  for (uint32_t bit = 1; bit != 0 && static_cast<int>(speakers.size()) < format.channels;
       bit <<= 1) {
    if (mask & bit) speakers.push_back(bit);
  }
  // Channels the bits do not name are speakers of no known place.
  while (static_cast<int>(speakers.size()) < format.channels) speakers.push_back(0);
  return speakers;
}

template <typename T>
void Append(std::vector<uint8_t>& out, T value) {
  size_t at = out.size();
  out.resize(at + sizeof value);
  std::memcpy(out.data() + at, &value, sizeof value);
}

}  // namespace

MixConverter::~MixConverter() { swr_free(&resampler_); }

bool MixConverter::Start(SoundFormat from, MixFormat to) {
  swr_free(&resampler_);
  if (from.rate <= 0 || from.channels < 1 || from.channels > 2 || to.rate <= 0 || to.channels < 1) {
    return false;
  }
  from_ = from;
  to_ = to;
  // The clip's left goes to the front left speaker, its right to the front right; mono to both
  // at full level, as a device of one speaker would play it. A device without front left and
  // right takes the front centre, or else its first channel, with both mixed down.
  std::vector<uint32_t> speakers = SpeakersOf(to);
  auto channel_of = [&](uint32_t speaker) {
    auto at = std::find(speakers.begin(), speakers.end(), speaker);
    return at == speakers.end() ? -1 : static_cast<int>(at - speakers.begin());
  };
  left_ = channel_of(kFrontLeft);
  right_ = channel_of(kFrontRight);
  if (left_ < 0 || right_ < 0) left_ = right_ = std::max(channel_of(kFrontCentre), 0);
  if (from.rate == to.rate) return true;
  AVChannelLayout layout{};
  av_channel_layout_default(&layout, from.channels);
  if (swr_alloc_set_opts2(&resampler_, &layout, AV_SAMPLE_FMT_FLT, to.rate, &layout,
                          AV_SAMPLE_FMT_S16, from.rate, 0, nullptr) < 0 ||
      swr_init(resampler_) < 0) {
    swr_free(&resampler_);
    return false;
  }
  return true;
}

bool MixConverter::Convert(const int16_t* samples, size_t frames, std::vector<uint8_t>& out) {
  if (frames == 0) return true;
  if (!resampler_) {
    if (to_.rate <= 0) return false;
    work_.resize(frames * static_cast<size_t>(from_.channels));
    for (size_t i = 0; i < work_.size(); ++i) work_[i] = samples[i] / 32768.0f;
    Put(work_.data(), frames, out);
    return true;
  }
  const uint8_t* in[1] = {reinterpret_cast<const uint8_t*>(samples)};
  return Resample(in, static_cast<int>(frames), out);
}

void MixConverter::Flush(std::vector<uint8_t>& out) {
  if (resampler_) Resample(nullptr, 0, out);
}

bool MixConverter::Resample(const uint8_t** in, int frames, std::vector<uint8_t>& out) {
  int most = swr_get_out_samples(resampler_, frames);
  if (most <= 0) return frames == 0;
  work_.resize(static_cast<size_t>(most) * static_cast<size_t>(from_.channels));
  uint8_t* into[1] = {reinterpret_cast<uint8_t*>(work_.data())};
  int got = swr_convert(resampler_, into, most, in, frames);
  if (got < 0) {
    // A resampler that failed (out of memory) may be left half set up: a new one for the rest.
    Start(from_, to_);
    return false;
  }
  Put(work_.data(), static_cast<size_t>(got), out);
  return true;
}

void MixConverter::Put(const float* frames, size_t count, std::vector<uint8_t>& out) const {
  out.reserve(out.size() + count * static_cast<size_t>(to_.FrameBytes()));
  bool mono = from_.channels == 1;
  bool shared = left_ == right_;  // one channel takes both sides
  for (size_t i = 0; i < count; ++i) {
    float left = frames[mono ? i : 2 * i];
    float right = mono ? left : frames[2 * i + 1];
    for (int c = 0; c < to_.channels; ++c) {
      float value = 0;
      if (shared && c == left_) {
        value = mono ? left : (left + right) / 2;
      } else if (!shared && c == left_) {
        value = left;
      } else if (!shared && c == right_) {
        value = right;
      }
      value = std::clamp(value, -1.0f, 1.0f);
      switch (to_.sample) {
        case MixFormat::Sample::kFloat:
          Append(out, value);
          break;
        case MixFormat::Sample::kInt16:
          Append(out, static_cast<int16_t>(std::lrint(std::min(value * 32768.0f, 32767.0f))));
          break;
        case MixFormat::Sample::kInt32:
          Append(out,
                 static_cast<int32_t>(std::llrint(std::min(value * 2147483648.0, 2147483647.0))));
          break;
      }
    }
  }
}

}  // namespace quorvane::player
