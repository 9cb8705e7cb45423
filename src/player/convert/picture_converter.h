// Pictures from decoded frames: converted to 32-bit BGRA at the size they are shown. A 4:2:0
// frame that changes size is scaled in its own planes first (into 4:2:2, so the chroma rows are
// interpolated too) and then converted by swscale's fast unscaled path, which takes a fraction of
// the time of scaling straight into BGRA; enlarged planes are scaled by PlaneScaler, shrunk ones
// by swscale's area averaging. Owned by the clip decoder, on the player's worker thread.
#pragma once

#include "player/convert/picture.h"
#include "player/convert/plane_scaler.h"

struct AVFrame;
struct SwsContext;

namespace quorvane::player {

// No picture is converted larger than this many pixels a side: no screen needs more, and it
// bounds the memory of a picture. A window larger than that has its pictures converted at the
// clip's own size and stretched by the painter.
inline constexpr int kLargestPictureSide = 8192;

class PictureConverter {
 public:
  PictureConverter() = default;
  ~PictureConverter();
  PictureConverter(const PictureConverter&) = delete;
  PictureConverter& operator=(const PictureConverter&) = delete;

  // Converts the frame at width x height (its own size when either is 0 or less) into the
  // picture's pixels; false when it cannot. Shrinking averages whole areas, enlarging is
  // bilinear.
  bool Convert(const AVFrame* frame, int width, int height, Picture& picture);

 private:
  // The frame's planes into sized_ (4:2:2 of the frame's range).
  bool ScaleIntoSized(const AVFrame* frame, int sized_format, int flags);

  SwsContext* sizer_ = nullptr;      // the frame's planes to the shown size
  SwsContext* converter_ = nullptr;  // planes at the shown size to BGRA
  AVFrame* sized_ = nullptr;         // the planes at the shown size
  PlaneScaler enlarger_;
};

}  // namespace quorvane::player
