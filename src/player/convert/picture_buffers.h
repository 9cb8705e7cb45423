// The pixel buffers of pictures the painter has let go of, kept for the next pictures. A fresh
// block for every picture costs a page fault every 4 KiB and a clearing pass; under Wine that
// was a fifth of the component's time at x1.5.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "base/locks.h"
#include "player/convert/picture.h"

namespace quorvane::player {

class PictureBuffers : public std::enable_shared_from_this<PictureBuffers> {
 public:
  explicit PictureBuffers(size_t spares) : spares_(spares) {}

  // A buffer a released picture had, or an empty one.
  PixelBytes Take();

  // The picture, shared with the painter; its buffer comes back here when the last holder lets
  // it go, even after the player that made it has gone (then it is simply freed).
  std::shared_ptr<const Picture> Share(Picture picture);

 private:
  void Give(PixelBytes buffer);

  const size_t spares_;
  base::Mutex mutex_;
  std::vector<PixelBytes> spare_;
};

}  // namespace quorvane::player
