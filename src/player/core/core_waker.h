// Wakes the player's worker and its window from the sound output's thread, for as long as the
// core lives: the output may call its listener while the core is being destroyed.
#pragma once

#include <functional>
#include <mutex>
#include <utility>

#include "base/locks.h"
#include "player/core/player_core.h"

namespace quorvane::player {

class PlayerCore::Waker {
 public:
  Waker(base::ConditionVariable& worker, std::function<void()> window)
      : worker_(worker), window_(std::move(window)) {}
  void Wake() {
    std::lock_guard lock(mutex_);
    if (!alive_) return;
    worker_.notify_all();
    if (window_) window_();
  }
  // No wake-up after this returns: the core is going.
  void Retire() {
    std::lock_guard lock(mutex_);
    alive_ = false;
  }

 private:
  base::Mutex mutex_;
  bool alive_ = true;
  base::ConditionVariable& worker_;
  std::function<void()> window_;
};

}  // namespace quorvane::player
