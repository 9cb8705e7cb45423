// Measures the picture converter's enlarging of a 4:2:0 picture into BGRA against libyuv's ways
// of doing the same, at x1, x1.5, x2 and a 1280 x 720 picture full screen at 1920 x 1080: the
// time per picture (the best and the median of several runs) and the quality, as the PSNR of
// each picture against FFmpeg's bicubic scaling straight into BGRA. Built natively and for both
// Windows programs (run under Wine by scripts/bench); prints one line per case and way. The
// pictures are drawn by the program; given a clip, its tenth picture is enlarged as well.
//   picture_scale_bench [seconds per case and way [clip]]   (0.5 s by default)
extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <libyuv/convert_argb.h>
#include <libyuv/cpu_id.h>
#include <libyuv/scale.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "player/convert/picture_converter.h"
#include "reference/pictures.h"

namespace quorvane::player {
namespace {

constexpr int kRuns = 7;

double Seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

uint8_t Clamp(double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

// A 4:2:0 picture with what enlarging shows: smooth shading, rings whose frequency rises to the
// picture's edge, thin lines, sharp-edged patches of colour and fine texture. Drawn in the
// picture's own proportions, so both sizes hold the same scene.
AVFrame* TestPicture(int width, int height) {
  AVFrame* f = av_frame_alloc();
  f->format = AV_PIX_FMT_YUV420P;
  f->width = width;
  f->height = height;
  if (av_frame_get_buffer(f, 64) < 0) std::abort();
  unsigned noise = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      double u = (x + 0.5) / width, v = (y + 0.5) / height;
      double luma = 60 + 100 * u * v;
      double r2 = (u - 0.3) * (u - 0.3) + (v - 0.4) * (v - 0.4);
      if (r2 < 0.09) luma += 60 * std::cos(0.9 * width * r2);
      if (u > 0.6 && u < 0.9 && v > 0.1 && v < 0.45) luma = 200;
      if (x % 37 == 0 && v > 0.6) luma = 230;
      noise = noise * 1103515245 + 12345;
      if (u > 0.55 && v > 0.55) luma += static_cast<int>((noise >> 16) % 41) - 20;
      f->data[0][y * f->linesize[0] + x] = Clamp(16 + luma * 219 / 255);
    }
  }
  for (int y = 0; y < (height + 1) / 2; ++y) {
    for (int x = 0; x < (width + 1) / 2; ++x) {
      double u = (2 * x + 1.0) / width, v = (2 * y + 1.0) / height;
      double cb = 128 + 60 * std::sin(6 * u), cr = 128 + 60 * std::cos(5 * v);
      if (u > 0.6 && u < 0.9 && v > 0.1 && v < 0.45) cb = 40, cr = 220;
      if (u > 0.1 && u < 0.25 && v > 0.65 && v < 0.9) cb = 220, cr = 60;
      f->data[1][y * f->linesize[1] + x] = Clamp(cb);
      f->data[2][y * f->linesize[2] + x] = Clamp(cr);
    }
  }
  return f;
}

Picture EmptyPicture(int width, int height) {
  Picture picture;
  SizePicture(picture, width, height);
  return picture;
}

// The clip's tenth picture when it is 4:2:0, else nothing.
AVFrame* ClipPicture(const char* clip) {
  AVFrame* frame = reference::TenthPicture(clip);
  if (frame && frame->format != AV_PIX_FMT_YUV420P) av_frame_free(&frame);
  return frame;
}

// FFmpeg's bicubic scaling straight into BGRA: the reference every way is measured against.
Picture Bicubic(const AVFrame* f, int width, int height) {
  return reference::FfmpegPicture(f, width, height, SWS_BICUBIC);
}

using reference::Psnr;

// Planes at the shown size that libyuv's ways scale into.
struct Planes {
  std::vector<uint8_t> y, u, v;
  int chroma_width = 0, chroma_height = 0;
  Planes(int width, int height, int chroma_width_, int chroma_height_)
      : y(static_cast<size_t>(width) * static_cast<size_t>(height)),
        u(static_cast<size_t>(chroma_width_) * static_cast<size_t>(chroma_height_)),
        v(u.size()),
        chroma_width(chroma_width_),
        chroma_height(chroma_height_) {}
};

using Way = std::function<void(const AVFrame*, Picture&)>;

// Ours: PictureConverter as the player uses it (PlaneScaler into 4:2:2, then swscale).
Way Ours() {
  auto converter = std::make_shared<PictureConverter>();
  return [converter](const AVFrame* f, Picture& picture) {
    if (!converter->Convert(f, picture.width, picture.height, picture)) std::abort();
  };
}

// libyuv, the same steps as ours: each plane enlarged bilinearly into 4:2:2, then converted.
Way LibyuvPlanes422(int width, int height) {
  auto planes = std::make_shared<Planes>(width, height, width / 2, height);
  return [planes](const AVFrame* f, Picture& p) {
    if (f->width == p.width && f->height == p.height) {
      libyuv::I420ToARGB(f->data[0], f->linesize[0], f->data[1], f->linesize[1], f->data[2],
                         f->linesize[2], p.bgra.data(), p.stride, p.width, p.height);
      return;
    }
    int cw = planes->chroma_width, ch = planes->chroma_height;
    libyuv::ScalePlane(f->data[0], f->linesize[0], f->width, f->height, planes->y.data(), p.width,
                       p.width, p.height, libyuv::kFilterBilinear);
    libyuv::ScalePlane(f->data[1], f->linesize[1], (f->width + 1) / 2, (f->height + 1) / 2,
                       planes->u.data(), cw, cw, ch, libyuv::kFilterBilinear);
    libyuv::ScalePlane(f->data[2], f->linesize[2], (f->width + 1) / 2, (f->height + 1) / 2,
                       planes->v.data(), cw, cw, ch, libyuv::kFilterBilinear);
    libyuv::I422ToARGB(planes->y.data(), p.width, planes->u.data(), cw, planes->v.data(), cw,
                       p.bgra.data(), p.stride, p.width, p.height);
  };
}

// libyuv: I420Scale bilinear, then 4:2:0 to BGRA, its chroma either repeated (point) or
// interpolated (I420ToARGBMatrixFilter with kFilterBilinear).
Way LibyuvI420(int width, int height, bool chroma_filter) {
  auto planes = std::make_shared<Planes>(width, height, (width + 1) / 2, (height + 1) / 2);
  return [planes, chroma_filter](const AVFrame* f, Picture& p) {
    const uint8_t* y = f->data[0];
    const uint8_t* u = f->data[1];
    const uint8_t* v = f->data[2];
    int sy = f->linesize[0], su = f->linesize[1], sv = f->linesize[2];
    if (f->width != p.width || f->height != p.height) {
      int cw = planes->chroma_width;
      libyuv::I420Scale(y, sy, u, su, v, sv, f->width, f->height, planes->y.data(), p.width,
                        planes->u.data(), cw, planes->v.data(), cw, p.width, p.height,
                        libyuv::kFilterBilinear);
      y = planes->y.data(), u = planes->u.data(), v = planes->v.data();
      sy = p.width, su = cw, sv = cw;
    }
    if (chroma_filter) {
      libyuv::I420ToARGBMatrixFilter(y, sy, u, su, v, sv, p.bgra.data(), p.stride,
                                     &libyuv::kYuvI601Constants, p.width, p.height,
                                     libyuv::kFilterBilinear);
    } else {
      libyuv::I420ToARGB(y, sy, u, su, v, sv, p.bgra.data(), p.stride, p.width, p.height);
    }
  };
}

struct Figures {
  double best_ms, median_ms, psnr;
};

Figures Measure(const Way& way, const AVFrame* f, int width, int height, const Picture& reference,
                double seconds) {
  Picture picture = EmptyPicture(width, height);
  way(f, picture);  // the first call sets up its tables and buffers
  double started = Seconds();
  int repeats = 0;
  while (Seconds() - started < seconds / kRuns) {
    way(f, picture);
    ++repeats;
  }
  std::vector<double> runs;
  for (int run = 0; run < kRuns; ++run) {
    double start = Seconds();
    for (int i = 0; i < repeats; ++i) way(f, picture);
    runs.push_back((Seconds() - start) * 1000 / repeats);
  }
  std::sort(runs.begin(), runs.end());
  return {runs.front(), runs[runs.size() / 2], Psnr(picture, reference)};
}

}  // namespace
}  // namespace quorvane::player

int main(int argc, char** argv) {
  using namespace quorvane::player;
  double seconds = argc > 1 ? std::atof(argv[1]) : 0.5;
  const char* clip = argc > 2 ? argv[2] : nullptr;
  if (seconds <= 0) {
    std::fprintf(stderr, "usage: picture_scale_bench [seconds per case and way [clip]]\n");
    return 2;
  }
#ifdef __SANITIZE_ADDRESS__
  std::printf("(built with AddressSanitizer: only a Release build's figures count)\n");
#endif
  std::printf("%d-bit; libyuv sees SSSE3 %s, AVX2 %s, AVX-512 BW %s\n",
              static_cast<int>(8 * sizeof(void*)),
              libyuv::TestCpuFlag(libyuv::kCpuHasSSSE3) ? "yes" : "no",
              libyuv::TestCpuFlag(libyuv::kCpuHasAVX2) ? "yes" : "no",
              libyuv::TestCpuFlag(libyuv::kCpuHasAVX512BW) ? "yes" : "no");
  struct Case {
    const char* name;
    int width, height;  // none: the clip's picture
    double factor;
    int to_width = 0, to_height = 0;
  } cases[] = {{"x1", 320, 240, 1},  {"x1.5", 320, 240, 1.5},
               {"x2", 320, 240, 2},  {"full screen", 1280, 720, 1.5},
               {"clip x1", 0, 0, 1}, {"clip x1.5", 0, 0, 1.5},
               {"clip x2", 0, 0, 2}};
  for (Case c : cases) {
    AVFrame* frame = nullptr;
    if (c.width > 0) {
      frame = TestPicture(c.width, c.height);
    } else if (clip) {
      frame = ClipPicture(clip);
      if (!frame) {
        std::fprintf(stderr, "picture_scale_bench: %s has no tenth 4:2:0 picture\n", clip);
        return 1;
      }
      c.width = frame->width;
      c.height = frame->height;
    } else {
      continue;
    }
    // Even sizes, as the saver's magnifications give for even pictures.
    c.to_width = static_cast<int>(c.width * c.factor / 2) * 2;
    c.to_height = static_cast<int>(c.height * c.factor / 2) * 2;
    Picture reference = Bicubic(frame, c.to_width, c.to_height);
    struct Named {
      const char* name;
      Way way;
    } ways[] = {
        {"ours: PlaneScaler to 4:2:2, swscale to BGRA", Ours()},
        {"libyuv: ScalePlane to 4:2:2, I422ToARGB", LibyuvPlanes422(c.to_width, c.to_height)},
        {"libyuv: I420Scale, I420ToARGB", LibyuvI420(c.to_width, c.to_height, false)},
        {"libyuv: I420Scale, I420ToARGBMatrixFilter bilinear",
         LibyuvI420(c.to_width, c.to_height, true)},
    };
    for (const Named& named : ways) {
      Figures f = Measure(named.way, frame, c.to_width, c.to_height, reference, seconds);
      std::printf("%-11s %4dx%-4d -> %4dx%-4d  %-52s %7.3f ms (median %7.3f)  %6.2f dB\n", c.name,
                  c.width, c.height, c.to_width, c.to_height, named.name, f.best_ms, f.median_ms,
                  f.psnr);
      std::fflush(stdout);
    }
    av_frame_free(&frame);
  }
  return 0;
}
