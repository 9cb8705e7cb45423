// One decoded picture, converted to 32-bit BGRA top-down rows at the size it is shown, with the
// clip time at which it is due. Made by the worker thread, handed whole to the painter.
#pragma once

#include <cstdint>
#include <vector>

namespace quorvane::player {

struct Picture {
  int width = 0;
  int height = 0;
  int source_width = 0;  // the clip's own picture size
  int source_height = 0;
  double time = 0;  // seconds from the clip's start
  std::vector<uint8_t> bgra;
};

}  // namespace quorvane::player
