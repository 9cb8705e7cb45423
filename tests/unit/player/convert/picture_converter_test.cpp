#include "player/convert/picture_converter.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <cmath>
#include <vector>

#include "support/clips.h"

namespace quorvane::player {
namespace {

// The tenth picture of a clip, as its decoder gives it.
AVFrame* DecodedFrame(const std::string& clip) {
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, clip.c_str(), nullptr, nullptr) < 0) return nullptr;
  avformat_find_stream_info(format, nullptr);
  int video = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  const AVCodec* codec = avcodec_find_decoder(format->streams[video]->codecpar->codec_id);
  AVCodecContext* decoder = avcodec_alloc_context3(codec);
  avcodec_parameters_to_context(decoder, format->streams[video]->codecpar);
  avcodec_open2(decoder, codec, nullptr);
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  int pictures = 0;
  while (pictures < 10 && av_read_frame(format, packet) >= 0) {
    if (packet->stream_index == video && avcodec_send_packet(decoder, packet) >= 0) {
      while (pictures < 10 && avcodec_receive_frame(decoder, frame) == 0) ++pictures;
    }
    av_packet_unref(packet);
  }
  av_packet_free(&packet);
  avcodec_free_context(&decoder);
  avformat_close_input(&format);
  return frame;
}

// FFmpeg's own conversion of the frame straight into BGRA at this size with this filter.
Picture FfmpegPicture(const AVFrame* f, int width, int height, int flags) {
  Picture picture;
  picture.width = width;
  picture.height = height;
  picture.stride = width * 4;
  picture.bgra.resize(static_cast<size_t>(picture.stride) * static_cast<size_t>(height) + 256);
  SwsContext* scaler =
      sws_getContext(f->width, f->height, static_cast<AVPixelFormat>(f->format), width, height,
                     AV_PIX_FMT_BGRA, flags, nullptr, nullptr, nullptr);
  uint8_t* planes[4] = {picture.bgra.data()};
  int strides[4] = {picture.stride};
  sws_scale(scaler, f->data, f->linesize, 0, f->height, planes, strides);
  sws_freeContext(scaler);
  return picture;
}

// Peak signal-to-noise ratio of a picture against a reference, over the colour channels.
double Psnr(const Picture& a, const Picture& reference) {
  double squares = 0;
  double count = 0;
  for (int y = 0; y < a.height; ++y) {
    for (int x = 0; x < a.width; ++x) {
      for (int c = 0; c < 3; ++c) {
        double d = a.bgra[static_cast<size_t>(y * a.stride + x * 4 + c)] -
                   reference.bgra[static_cast<size_t>(y * reference.stride + x * 4 + c)];
        squares += d * d;
        ++count;
      }
    }
  }
  return squares == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / (squares / count));
}

TEST(PictureConverter, ScaledPicturesAreAsGoodAsFfmpegsBilinearScaling) {
  AVFrame* frame = DecodedFrame(testing::Clip("medium.rm"));
  ASSERT_NE(frame, nullptr);
  ASSERT_EQ(frame->width, 320);
  PictureConverter converter;
  struct Case {
    int width, height;
  } cases[] = {{480, 360}, {640, 480}, {400, 299}, {401, 299}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    Picture ours;
    ASSERT_TRUE(converter.Convert(frame, c.width, c.height, ours));
    ASSERT_EQ(ours.width, c.width);
    Picture bicubic = FfmpegPicture(frame, c.width, c.height, SWS_BICUBIC);
    Picture bilinear = FfmpegPicture(frame, c.width, c.height, SWS_BILINEAR);
    double mine = Psnr(ours, bicubic);
    double theirs = Psnr(bilinear, bicubic);
    std::printf("%d x %d: %.2f dB against FFmpeg's bicubic (its bilinear: %.2f dB)\n", c.width,
                c.height, mine, theirs);
    EXPECT_GE(mine, theirs - 0.5);  // weights in sixty-fourths: within half a decibel
  }
  // At its own size the conversion is FFmpeg's, pixel for pixel; shrinking averages areas.
  Picture own;
  ASSERT_TRUE(converter.Convert(frame, 0, 0, own));
  EXPECT_EQ(Psnr(own, FfmpegPicture(frame, 320, 240, SWS_BICUBIC)), INFINITY);
  Picture half;
  ASSERT_TRUE(converter.Convert(frame, 160, 120, half));
  EXPECT_GE(Psnr(half, FfmpegPicture(frame, 160, 120, SWS_AREA)), 35.0);
  av_frame_free(&frame);
}

}  // namespace
}  // namespace quorvane::player
