#include "player/convert/picture_converter.h"

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

namespace quorvane::player {

namespace {

// The planes a 4:2:0 frame is scaled into: 4:2:2, whose chroma rows swscale interpolates as it
// scales (the unscaled conversion of 4:2:0 would repeat each chroma row twice, a blockier
// picture than scaling straight into BGRA gives); nothing for other formats.
AVPixelFormat SizedFormat(AVPixelFormat format) {
  if (format == AV_PIX_FMT_YUV420P) return AV_PIX_FMT_YUV422P;
  if (format == AV_PIX_FMT_YUVJ420P) return AV_PIX_FMT_YUVJ422P;
  return AV_PIX_FMT_NONE;
}

// The planes of a frame of this format and size, reused while they stay the same.
AVFrame* PlanesFor(AVFrame* planes, int format, int width, int height) {
  if (planes && planes->format == format && planes->width == width && planes->height == height) {
    return planes;
  }
  av_frame_free(&planes);
  planes = av_frame_alloc();
  if (!planes) return nullptr;
  planes->format = format;
  planes->width = width;
  planes->height = height;
  if (av_frame_get_buffer(planes, 64) < 0) av_frame_free(&planes);
  return planes;
}

}  // namespace

bool PictureConverter::ScaleIntoSized(const AVFrame* f, int sized, int flags) {
  int width = sized_->width, height = sized_->height;
  int chroma_width = (f->width + 1) / 2, chroma_height = (f->height + 1) / 2;
  if (PlaneScaler::Enlarges(f->width, f->height, width, height) &&
      PlaneScaler::Enlarges(chroma_width, chroma_height, width / 2, height)) {
    enlarger_.Enlarge({f->data[0], f->linesize[0], f->width, f->height},
                      {sized_->data[0], sized_->linesize[0], width, height});
    for (int plane = 1; plane < 3; ++plane) {
      enlarger_.Enlarge({f->data[plane], f->linesize[plane], chroma_width, chroma_height},
                        {sized_->data[plane], sized_->linesize[plane], width / 2, height});
    }
    return true;
  }
  sizer_ = sws_getCachedContext(sizer_, f->width, f->height, static_cast<AVPixelFormat>(f->format),
                                width, height, static_cast<AVPixelFormat>(sized), flags, nullptr,
                                nullptr, nullptr);
  return sizer_ &&
         sws_scale(sizer_, f->data, f->linesize, 0, f->height, sized_->data, sized_->linesize) > 0;
}

PictureConverter::~PictureConverter() {
  sws_freeContext(sizer_);
  sws_freeContext(converter_);
  av_frame_free(&sized_);
}

bool PictureConverter::Convert(const AVFrame* f, int width, int height, Picture& picture) {
  if (f->width <= 0 || f->height <= 0 || f->format < 0) return false;
  if (width <= 0 || height <= 0) {
    width = f->width;
    height = f->height;
  }
  if (width > kLargestPictureSide || height > kLargestPictureSide) return false;
  auto format = static_cast<AVPixelFormat>(f->format);
  const uint8_t* const* source = f->data;
  const int* source_strides = f->linesize;
  int source_width = f->width;
  int source_height = f->height;
  int flags = (width < f->width || height < f->height) ? SWS_AREA : SWS_BILINEAR;
  AVPixelFormat sized = SizedFormat(format);
  // An odd width has no whole number of chroma samples to line up with the picture: such a
  // picture is scaled straight into BGRA.
  if ((width != f->width || height != f->height) && sized != AV_PIX_FMT_NONE && width % 2 == 0) {
    sized_ = PlanesFor(sized_, sized, width, height);
    if (!sized_ || !ScaleIntoSized(f, sized, flags)) return false;
    source = sized_->data;
    source_strides = sized_->linesize;
    source_width = width;
    source_height = height;
    format = sized;
  }
  converter_ = sws_getCachedContext(converter_, source_width, source_height, format, width, height,
                                    AV_PIX_FMT_BGRA, flags, nullptr, nullptr, nullptr);
  if (!converter_) return false;
  SizePicture(picture, width, height);
  picture.source_width = f->width;
  picture.source_height = f->height;
  uint8_t* planes[4] = {picture.bgra.data(), nullptr, nullptr, nullptr};
  int strides[4] = {picture.stride, 0, 0, 0};
  return sws_scale(converter_, source, source_strides, 0, source_height, planes, strides) > 0;
}

}  // namespace quorvane::player
