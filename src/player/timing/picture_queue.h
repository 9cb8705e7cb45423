// The pictures decoded ahead of the clip's clock, oldest first, and the rules for when they fall
// due and when one nobody took in time must go. Plain rules on clip times (now is passed in);
// the player guards the queue with its mutex.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>

#include "player/convert/picture.h"

namespace quorvane::player {

class PictureQueue {
 public:
  explicit PictureQueue(size_t capacity) : capacity_(capacity) {}

  bool Empty() const { return pictures_.empty(); }
  size_t Size() const { return pictures_.size(); }
  bool Full() const { return pictures_.size() >= capacity_; }
  void Clear() { pictures_.clear(); }

  // Adds the picture after the others; true when the queue was empty, the only time a new
  // picture is news to the window (it fetches later ones on its timer for the first).
  bool Push(std::shared_ptr<const Picture> picture);

  // The newest picture due at now, taken out with every older one; nothing when none is due.
  std::shared_ptr<const Picture> TakeDue(double now);

  // Pictures nobody took in time make room: the oldest goes once the one after it is due too,
  // so the clip goes on at its own pace while its window is hidden or busy.
  void DropOverdue(double now);

  // Seconds from now until the oldest picture falls due (0 or less: it is due); nothing when
  // the queue is empty.
  std::optional<double> FirstDueIn(double now) const;
  // Seconds from now until the second picture falls due, when the oldest may go; nothing with
  // fewer than two.
  std::optional<double> SecondDueIn(double now) const;

 private:
  size_t capacity_;
  std::deque<std::shared_ptr<const Picture>> pictures_;
};

}  // namespace quorvane::player
