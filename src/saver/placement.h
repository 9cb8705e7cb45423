// Where and how large the picture is shown on the saver window. A pure function of the window
// size, the clip's picture size and the size and position settings.
#pragma once

#include <functional>

#include "settings/saver_settings.h"

namespace quorvane::saver {

struct Placement {
  float height = 0;
  float width = 0;
  float top = 0;
  float left = 0;
};

// draw() gives the next number from [0, 1); it is called twice for a random place, for the top
// first, and not at all for the centre.
Placement PlacePicture(float scale_height, float scale_width, int clip_height, int clip_width,
                       const settings::SizeSettings& size, bool random_position,
                       const std::function<double()>& draw);

}  // namespace quorvane::saver
