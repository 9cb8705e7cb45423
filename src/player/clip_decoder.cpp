#include "player/clip_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <limits>

#include "player/audio_output.h"

namespace quorvane::player {

namespace {

// A broken clip may make every packet fail; after this many failures in a row it has ended.
constexpr int kMostFailuresInARow = 200;
// Seconds a clip may run past the length in its header.
constexpr double kLengthAllowance = 2.0;

struct FormatCloser {
  void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecFreer {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFreer {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFreer {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct ScalerFreer {
  void operator()(SwsContext* s) const { sws_freeContext(s); }
};
struct ResamplerFreer {
  void operator()(SwrContext* s) const { swr_free(&s); }
};

using CodecPtr = std::unique_ptr<AVCodecContext, CodecFreer>;

CodecPtr OpenDecoder(AVStream* stream) {
  const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
  if (!codec) return nullptr;
  CodecPtr context(avcodec_alloc_context3(codec));
  if (!context || avcodec_parameters_to_context(context.get(), stream->codecpar) < 0) {
    return nullptr;
  }
  context->pkt_timebase = stream->time_base;
  // One decoding thread: clips are small and the user-interface thread must stay light.
  context->thread_count = 1;
  if (avcodec_open2(context.get(), codec, nullptr) < 0) return nullptr;
  return context;
}

class FFmpegClipDecoder final : public ClipDecoder {
 public:
  explicit FFmpegClipDecoder(std::function<bool()> interrupted)
      : interrupted_(std::move(interrupted)) {}

  bool Open(const std::string& path) {
    AVFormatContext* format = avformat_alloc_context();
    if (!format) return false;
    format->interrupt_callback.callback = &FFmpegClipDecoder::Interrupt;
    format->interrupt_callback.opaque = this;
    // On failure avformat_open_input frees the context itself.
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return false;
    format_.reset(format);
    if (avformat_find_stream_info(format, nullptr) < 0) return false;
    // A damaged clip can decode into far more than it holds; it ends a little after the length
    // its header gives, when it gives one.
    if (format->duration != AV_NOPTS_VALUE && format->duration > 0) {
      latest_time_ = static_cast<double>(format->duration) / AV_TIME_BASE + kLengthAllowance;
    }
    origin_ = format->start_time != AV_NOPTS_VALUE
                  ? static_cast<double>(format->start_time) / AV_TIME_BASE
                  : 0.0;

    int video = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (video >= 0 && !(format->streams[video]->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
      video_ = OpenDecoder(format->streams[video]);
      if (video_) video_index_ = video;
    }
    int audio = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, video_index_, nullptr, 0);
    if (audio >= 0) {
      audio_ = OpenDecoder(format->streams[audio]);
      if (audio_) audio_index_ = audio;
    }
    if (!video_ && !audio_) return false;
    if (video_) {
      AVRational rate = av_guess_frame_rate(format, format->streams[video_index_], nullptr);
      if (rate.num > 0 && rate.den > 0)
        frame_duration_ = std::clamp(av_q2d(av_inv_q(rate)), 0.005, 1.0);
    }
    frame_.reset(av_frame_alloc());
    packet_.reset(av_packet_alloc());
    return frame_ && packet_;
  }

  bool HasPicture() const override { return video_ != nullptr; }
  bool HasSound() const override { return audio_ != nullptr; }
  double FrameDuration() const override { return frame_duration_; }

  Step Next(int width, int height, Picture& picture, Sound& sound) override {
    int failures = 0;
    for (;;) {
      if (video_ && avcodec_receive_frame(video_.get(), frame_.get()) == 0) {
        bool ok = ConvertPicture(width, height, picture);
        av_frame_unref(frame_.get());
        if (ok && picture.time > latest_time_) return Step::kEnd;
        if (ok) return Step::kPicture;
        continue;
      }
      if (audio_ && avcodec_receive_frame(audio_.get(), frame_.get()) == 0) {
        bool ok = ResampleSound(sound);
        av_frame_unref(frame_.get());
        if (ok && sound.time > latest_time_) return Step::kEnd;
        if (ok) return Step::kSound;
        continue;
      }
      if (drained_ || interrupted_()) return Step::kEnd;
      if (!FeedDecoders()) {
        if (++failures > kMostFailuresInARow) return Step::kEnd;
      } else {
        failures = 0;
      }
    }
  }

 private:
  static int Interrupt(void* self) {
    return static_cast<FFmpegClipDecoder*>(self)->interrupted_() ? 1 : 0;
  }

  // Reads one packet into its decoder, or flushes both at the end. False when nothing usable
  // went in.
  bool FeedDecoders() {
    if (flushing_) {
      drained_ = true;
      return true;
    }
    int read = av_read_frame(format_.get(), packet_.get());
    if (read < 0) {
      // The end of the file, or a read error: either way the decoders give out what they hold.
      if (video_) avcodec_send_packet(video_.get(), nullptr);
      if (audio_) avcodec_send_packet(audio_.get(), nullptr);
      flushing_ = true;
      return true;
    }
    AVCodecContext* target = nullptr;
    if (packet_->stream_index == video_index_) target = video_.get();
    if (packet_->stream_index == audio_index_) target = audio_.get();
    bool ok = target && avcodec_send_packet(target, packet_.get()) >= 0;
    av_packet_unref(packet_.get());
    return ok || !target;
  }

  // The frame's time from its stamp, kept to the stream's own pace: a stamp that is missing, goes
  // back (some muxers stamp every sound packet 0) or leaps seconds ahead (a damaged file) gives
  // way to the time the previous frame's length leads to.
  double TimeOf(const AVFrame* frame, int stream_index, double expected) const {
    constexpr double kLeastBack = 0.005;
    constexpr double kMostAhead = 5.0;
    int64_t stamp = frame->best_effort_timestamp;
    if (stamp == AV_NOPTS_VALUE) return expected;
    double time = static_cast<double>(stamp) * av_q2d(format_->streams[stream_index]->time_base);
    time -= origin_;
    bool believable =
        std::isfinite(time) && time >= expected - kLeastBack && time <= expected + kMostAhead;
    return believable ? std::max(0.0, time) : expected;
  }

  bool ConvertPicture(int width, int height, Picture& picture) {
    const AVFrame* f = frame_.get();
    if (f->width <= 0 || f->height <= 0 || f->format < 0) return false;
    if (width <= 0 || height <= 0) {
      width = f->width;
      height = f->height;
    }
    // Shrinking averages whole areas; enlarging interpolates smoothly.
    int flags = (width < f->width || height < f->height) ? SWS_AREA : SWS_BICUBIC;
    scaler_.reset(sws_getCachedContext(scaler_.release(), f->width, f->height,
                                       static_cast<AVPixelFormat>(f->format), width, height,
                                       AV_PIX_FMT_BGRA, flags, nullptr, nullptr, nullptr));
    if (!scaler_) return false;
    picture.width = width;
    picture.height = height;
    picture.source_width = f->width;
    picture.source_height = f->height;
    picture.bgra.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    uint8_t* planes[4] = {picture.bgra.data(), nullptr, nullptr, nullptr};
    int strides[4] = {width * 4, 0, 0, 0};
    if (sws_scale(scaler_.get(), f->data, f->linesize, 0, f->height, planes, strides) <= 0) {
      return false;
    }
    next_picture_time_ = TimeOf(f, video_index_, next_picture_time_);
    picture.time = next_picture_time_;
    next_picture_time_ += frame_duration_;
    return true;
  }

  bool ResampleSound(Sound& sound) {
    AVFrame* f = frame_.get();
    if (f->nb_samples <= 0 || f->sample_rate <= 0) return false;
    if (!resampler_ || f->sample_rate != in_rate_ || f->format != in_format_) {
      AVChannelLayout out_layout = AV_CHANNEL_LAYOUT_STEREO;
      SwrContext* swr = nullptr;
      if (swr_alloc_set_opts2(&swr, &out_layout, AV_SAMPLE_FMT_S16, kAudioRate, &f->ch_layout,
                              static_cast<AVSampleFormat>(f->format), f->sample_rate, 0,
                              nullptr) < 0 ||
          swr_init(swr) < 0) {
        swr_free(&swr);
        return false;
      }
      resampler_.reset(swr);
      in_rate_ = f->sample_rate;
      in_format_ = f->format;
    }
    int most = swr_get_out_samples(resampler_.get(), f->nb_samples);
    if (most <= 0) return false;
    sound.samples.resize(static_cast<size_t>(most) * kAudioChannels);
    uint8_t* out[1] = {reinterpret_cast<uint8_t*>(sound.samples.data())};
    int got = swr_convert(resampler_.get(), out, most,
                          const_cast<const uint8_t**>(f->extended_data), f->nb_samples);
    if (got <= 0) return false;
    sound.samples.resize(static_cast<size_t>(got) * kAudioChannels);
    next_sound_time_ = TimeOf(f, audio_index_, next_sound_time_);
    sound.time = next_sound_time_;
    next_sound_time_ += static_cast<double>(got) / kAudioRate;
    return true;
  }

  std::function<bool()> interrupted_;
  std::unique_ptr<AVFormatContext, FormatCloser> format_;
  CodecPtr video_;
  CodecPtr audio_;
  int video_index_ = -1;
  int audio_index_ = -1;
  std::unique_ptr<AVFrame, FrameFreer> frame_;
  std::unique_ptr<AVPacket, PacketFreer> packet_;
  std::unique_ptr<SwsContext, ScalerFreer> scaler_;
  std::unique_ptr<SwrContext, ResamplerFreer> resampler_;
  int in_rate_ = 0;
  int in_format_ = -1;
  double origin_ = 0;
  double latest_time_ = std::numeric_limits<double>::infinity();
  double frame_duration_ = 1.0 / 15;
  double next_picture_time_ = 0;
  double next_sound_time_ = 0;
  bool flushing_ = false;
  bool drained_ = false;
};

}  // namespace

std::unique_ptr<ClipDecoder> ClipDecoder::Open(const std::string& utf8_path,
                                               std::function<bool()> interrupted) {
  av_log_set_level(AV_LOG_QUIET);
  auto decoder = std::make_unique<FFmpegClipDecoder>(std::move(interrupted));
  if (!decoder->Open(utf8_path)) return nullptr;
  return decoder;
}

}  // namespace quorvane::player
