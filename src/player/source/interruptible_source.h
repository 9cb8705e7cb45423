// A byte source whose reads stop once the clip is replaced or the player closes: a slow file (a
// share that hangs) holds them up for one read at most, and a scan of a whole file ends there too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

#include "player/source/real_media.h"

namespace quorvane::player {

class InterruptibleSource final : public ByteSource {
 public:
  InterruptibleSource(std::unique_ptr<ByteSource> source, std::function<bool()> interrupted)
      : source_(std::move(source)), interrupted_(std::move(interrupted)) {}
  size_t Read(uint8_t* into, size_t most) override {
    return interrupted_() ? 0 : source_->Read(into, most);
  }
  bool Skip(uint64_t count) override { return !interrupted_() && source_->Skip(count); }
  bool Rewind() override { return !interrupted_() && source_->Rewind(); }

 private:
  std::unique_ptr<ByteSource> source_;
  std::function<bool()> interrupted_;
};

}  // namespace quorvane::player
