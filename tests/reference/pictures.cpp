#include "reference/pictures.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <cmath>

namespace quorvane::player::reference {

AVFrame* TenthPicture(const std::string& clip) {
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, clip.c_str(), nullptr, nullptr) < 0) return nullptr;
  AVFrame* frame = av_frame_alloc();
  int pictures = 0;
  int video = avformat_find_stream_info(format, nullptr) >= 0
                  ? av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0)
                  : -1;
  const AVCodec* codec =
      video < 0 ? nullptr : avcodec_find_decoder(format->streams[video]->codecpar->codec_id);
  AVCodecContext* decoder = codec ? avcodec_alloc_context3(codec) : nullptr;
  if (decoder && avcodec_parameters_to_context(decoder, format->streams[video]->codecpar) >= 0 &&
      avcodec_open2(decoder, codec, nullptr) >= 0) {
    AVPacket* packet = av_packet_alloc();
    while (pictures < 10 && av_read_frame(format, packet) >= 0) {
      if (packet->stream_index == video && avcodec_send_packet(decoder, packet) >= 0) {
        while (pictures < 10 && avcodec_receive_frame(decoder, frame) == 0) ++pictures;
      }
      av_packet_unref(packet);
    }
    av_packet_free(&packet);
  }
  avcodec_free_context(&decoder);
  avformat_close_input(&format);
  if (pictures < 10) av_frame_free(&frame);
  return frame;
}

Picture FfmpegPicture(const AVFrame* frame, int width, int height, int flags) {
  Picture picture;
  SizePicture(picture, width, height);
  SwsContext* scaler =
      sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), width,
                     height, AV_PIX_FMT_BGRA, flags, nullptr, nullptr, nullptr);
  uint8_t* planes[4] = {picture.bgra.data(), nullptr, nullptr, nullptr};
  int strides[4] = {picture.stride, 0, 0, 0};
  sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, planes, strides);
  sws_freeContext(scaler);
  return picture;
}

double Psnr(const Picture& picture, const Picture& reference) {
  double squares = 0;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      for (int c = 0; c < 3; ++c) {
        double d = picture.bgra[static_cast<size_t>(y * picture.stride + x * 4 + c)] -
                   reference.bgra[static_cast<size_t>(y * reference.stride + x * 4 + c)];
        squares += d * d;
      }
    }
  }
  double mean = squares / (3.0 * picture.width * picture.height);
  return mean == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / mean);
}

}  // namespace quorvane::player::reference
