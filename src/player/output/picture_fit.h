// Where the preview shows a picture inside its window: as large as fits with the picture's
// proportions kept, centred, with black bands on two sides. A pure function.
#pragma once

namespace quorvane::player {

struct Box {
  int left = 0, top = 0, width = 0, height = 0;
};

// The picture's place in an area of this size; the whole area while the picture's size is not
// known (either side 0 or less) or the area is empty.
Box FitPicture(int area_width, int area_height, int picture_width, int picture_height);

}  // namespace quorvane::player
