#include "player/timing/picture_queue.h"

namespace quorvane::player {

bool PictureQueue::Push(std::shared_ptr<const Picture> picture) {
  bool first = pictures_.empty();
  pictures_.push_back(std::move(picture));
  return first;
}

std::shared_ptr<const Picture> PictureQueue::TakeDue(double now) {
  std::shared_ptr<const Picture> due;
  while (!pictures_.empty() && pictures_.front()->time <= now) {
    due = std::move(pictures_.front());
    pictures_.pop_front();
  }
  return due;
}

void PictureQueue::DropOverdue(double now) {
  while (pictures_.size() >= 2 && pictures_[1]->time <= now) pictures_.pop_front();
}

std::optional<double> PictureQueue::FirstDueIn(double now) const {
  if (pictures_.empty()) return std::nullopt;
  return pictures_.front()->time - now;
}

std::optional<double> PictureQueue::SecondDueIn(double now) const {
  if (pictures_.size() < 2) return std::nullopt;
  return pictures_[1]->time - now;
}

}  // namespace quorvane::player
