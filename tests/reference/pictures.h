// What the picture converter is measured against, by its tests and by the benchmark: a clip's
// tenth picture as FFmpeg decodes it, FFmpeg's own scaling of a picture straight into BGRA, and
// the peak signal-to-noise ratio of one picture against another.
#pragma once

extern "C" {
#include <libavutil/frame.h>
}

#include <string>

#include "player/convert/picture.h"

namespace quorvane::player::reference {

// The clip's tenth picture, as its decoder gives it; nothing when the clip cannot be read or
// holds fewer pictures. The caller frees it (av_frame_free).
AVFrame* TenthPicture(const std::string& clip);

// FFmpeg's own conversion of the frame straight into BGRA at this size with this filter
// (SWS_BICUBIC, SWS_BILINEAR, ...).
Picture FfmpegPicture(const AVFrame* frame, int width, int height, int flags);

// Peak signal-to-noise ratio of a picture against a reference of the same size, over the colour
// channels, in dB; infinity when they are the same.
double Psnr(const Picture& picture, const Picture& reference);

}  // namespace quorvane::player::reference
