#include "saver/placement.h"

#include <cmath>

namespace quorvane::saver {

namespace {

// A side of the picture: the clip's side times the factor, clamped to two units less than the
// window once it reaches the window. A negative or undefined size (a negative free factor) is no
// picture at all.
double Side(int clip_side, double factor, double window_side) {
  double side = clip_side == 0 ? 0.0 : clip_side * factor;
  if (!(side >= 0)) side = 0;
  if (side >= window_side) side = window_side - 2;
  return side < 0 ? 0 : side;
}

}  // namespace

Placement PlacePicture(float scale_height, float scale_width, int clip_height, int clip_width,
                       const settings::SizeSettings& size, bool random_position,
                       const std::function<double()>& draw) {
  double sh = scale_height;
  double sw = scale_width;
  double h = 0;
  double w = 0;
  if (size.full_screen) {
    h = sh - 2 < 0 ? 0 : sh - 2;
    w = sw - 2 < 0 ? 0 : sw - 2;
  } else {
    h = Side(clip_height, size.factor, sh);
    w = Side(clip_width, size.factor, sw);
  }
  double top = 0;
  double left = 0;
  if (random_position) {
    double r1 = draw();
    double r2 = draw();
    top = std::floor(r1 * (sh - h) + 1);
    left = std::floor(r2 * (sw - w) + 1);
  } else {
    top = (sh - h) / 2;
    left = (sw - w) / 2;
  }
  return Placement{static_cast<float>(h), static_cast<float>(w), static_cast<float>(top),
                   static_cast<float>(left)};
}

}  // namespace quorvane::saver
