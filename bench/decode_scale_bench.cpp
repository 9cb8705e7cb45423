// The yardstick of the saver's share of a core playing a clip full screen: FFmpeg alone, the
// static build the program ships (for this machine), decoding the clip at its own pace and
// scaling each picture to the display's size in BGRA (swscale, bilinear, as the window's
// colour format), its sound to 16-bit stereo at 48 kHz, into nothing. Nothing is shown or heard.
//   decode_scale_bench CLIP WIDTH HEIGHT SECONDS
// Plays the clip over and over from its start for SECONDS, each picture converted when it falls
// due (its time from the clip's start against the wall clock), one decoding thread for each
// stream as the player has. Its share of a core is measured from outside, as the saver's
// (scripts/lib/thread-figures); it prints the pictures converted and the share it took itself.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "monotonic_clock.h"

namespace {

using quorvane::bench::Now;
using quorvane::bench::SecondsOn;
using quorvane::bench::SleepUntil;

struct Decoder {
  AVCodecContext* context = nullptr;
  int stream = -1;
  ~Decoder() { avcodec_free_context(&context); }
  bool Open(AVFormatContext* format, AVMediaType type) {
    const AVCodec* codec = nullptr;
    stream = av_find_best_stream(format, type, -1, -1, &codec, 0);
    if (stream < 0 || !codec) return false;
    context = avcodec_alloc_context3(codec);
    if (!context || avcodec_parameters_to_context(context, format->streams[stream]->codecpar) < 0) {
      return false;
    }
    context->thread_count = 1;
    return avcodec_open2(context, codec, nullptr) == 0;
  }
};

// One pass of the clip; false when it could not be played. `until` ends it early.
bool PlayOnce(const char* path, int width, int height, double until, long& pictures) {
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, path, nullptr, nullptr) < 0) return false;
  bool played = false;
  Decoder video, audio;
  SwsContext* scaler = nullptr;
  SwrContext* resampler = nullptr;
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  std::vector<uint8_t> bgra(static_cast<size_t>(width) * height * 4);
  std::vector<uint8_t> sound(48000 * 4);
  if (avformat_find_stream_info(format, nullptr) >= 0 && video.Open(format, AVMEDIA_TYPE_VIDEO)) {
    bool with_sound = audio.Open(format, AVMEDIA_TYPE_AUDIO);
    if (with_sound) {
      AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
      with_sound = swr_alloc_set_opts2(&resampler, &stereo, AV_SAMPLE_FMT_S16, 48000,
                                       &audio.context->ch_layout, audio.context->sample_fmt,
                                       audio.context->sample_rate, 0, nullptr) == 0 &&
                   swr_init(resampler) == 0;
    }
    const AVRational video_base = format->streams[video.stream]->time_base;
    const double start = Now();
    played = true;
    while (Now() < until && av_read_frame(format, packet) >= 0) {
      if (packet->stream_index == video.stream && avcodec_send_packet(video.context, packet) == 0) {
        while (avcodec_receive_frame(video.context, frame) == 0) {
          double due =
              start + static_cast<double>(frame->best_effort_timestamp) * av_q2d(video_base);
          SleepUntil(std::min(due, until));
          scaler = sws_getCachedContext(scaler, frame->width, frame->height,
                                        static_cast<AVPixelFormat>(frame->format), width, height,
                                        AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
          uint8_t* planes[4] = {bgra.data()};
          int strides[4] = {width * 4};
          if (scaler && sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, planes,
                                  strides) > 0) {
            ++pictures;
          }
        }
      } else if (with_sound && packet->stream_index == audio.stream &&
                 avcodec_send_packet(audio.context, packet) == 0) {
        while (avcodec_receive_frame(audio.context, frame) == 0) {
          uint8_t* out[1] = {sound.data()};
          swr_convert(resampler, out, static_cast<int>(sound.size() / 4),
                      const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
        }
      }
      av_packet_unref(packet);
    }
  }
  av_frame_free(&frame);
  av_packet_free(&packet);
  swr_free(&resampler);
  sws_freeContext(scaler);
  avformat_close_input(&format);
  return played;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: decode_scale_bench CLIP WIDTH HEIGHT SECONDS\n");
    return 2;
  }
  const int width = std::atoi(argv[2]), height = std::atoi(argv[3]);
  const double seconds = std::atof(argv[4]);
  if (width <= 0 || height <= 0 || seconds <= 0) {
    std::fprintf(stderr, "decode_scale_bench: a size and a time must be positive\n");
    return 2;
  }
  av_log_set_level(AV_LOG_ERROR);
  const double start = Now(), cpu = SecondsOn(CLOCK_PROCESS_CPUTIME_ID);
  const double until = start + seconds;
  long pictures = 0;
  while (Now() < until) {
    if (!PlayOnce(argv[1], width, height, until, pictures)) {
      std::fprintf(stderr, "decode_scale_bench: cannot play %s\n", argv[1]);
      return 1;
    }
  }
  const double wall = Now() - start;
  std::printf("decode_scale_bench: %ld pictures scaled to %d x %d in %.1f s, %.2f %% of one core\n",
              pictures, width, height, wall,
              100 * (SecondsOn(CLOCK_PROCESS_CPUTIME_ID) - cpu) / wall);
  return 0;
}
