#include "player/output/picture_fit.h"

#include <algorithm>
#include <cmath>

namespace quorvane::player {

Box FitPicture(int area_width, int area_height, int picture_width, int picture_height) {
  Box area{0, 0, area_width, area_height};
  if (picture_width <= 0 || picture_height <= 0 || area_width <= 0 || area_height <= 0) {
    return area;
  }
  double scale = std::min(static_cast<double>(area_width) / picture_width,
                          static_cast<double>(area_height) / picture_height);
  int width = std::max(1, static_cast<int>(std::lround(picture_width * scale)));
  int height = std::max(1, static_cast<int>(std::lround(picture_height * scale)));
  return Box{(area_width - width) / 2, (area_height - height) / 2, width, height};
}

}  // namespace quorvane::player
