// Where and how large the picture is shown on the saver window. A pure function of the window
// size, the clip's picture size and the size and position settings.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace quorvane::saver {

struct SizeSettings {
  double factor = 1;         // 0: the free factor was chosen and not given
  bool full_screen = false;  // once chosen, stays for the whole settings file
};

struct Placement {
  float height = 0;
  float width = 0;
  float top = 0;
  float left = 0;
};

// True when the position selector asks for a random place: any decimal digit but "0".
// Absent, "0", empty or not a digit: the centre.
bool IsRandomPosition(const std::optional<std::string>& selector);

// draw() gives the next number from [0, 1); it is called twice for a random place, for the top
// first, and not at all for the centre.
Placement PlacePicture(float scale_height, float scale_width, int clip_height, int clip_width,
                       const SizeSettings& size, bool random_position,
                       const std::function<double()>& draw);

}  // namespace quorvane::saver
