#include "player/convert/picture_buffers.h"

#include <utility>

namespace quorvane::player {

PixelBytes PictureBuffers::Take() {
  std::lock_guard lock(mutex_);
  if (spare_.empty()) return {};
  PixelBytes buffer = std::move(spare_.back());
  spare_.pop_back();
  return buffer;
}

std::shared_ptr<const Picture> PictureBuffers::Share(Picture picture) {
  std::weak_ptr<PictureBuffers> home = weak_from_this();
  return std::shared_ptr<const Picture>(new Picture(std::move(picture)), [home](Picture* p) {
    if (auto buffers = home.lock()) buffers->Give(std::move(p->bgra));
    delete p;
  });
}

void PictureBuffers::Give(PixelBytes buffer) {
  std::lock_guard lock(mutex_);
  if (spare_.size() < spares_ && !buffer.empty()) spare_.push_back(std::move(buffer));
}

}  // namespace quorvane::player
