// Picture packets held back while only sound is decoded (a file may carry its sound seconds
// after the pictures it goes with), up to a bound of bytes.
#pragma once

#include <cstddef>
#include <deque>

#include "player/decode/ffmpeg_handles.h"

namespace quorvane::player {

class HeldPackets {
 public:
  bool Empty() const { return packets_.empty(); }
  // More than seconds of any clip's pictures: pictures must be decoded before more is read.
  bool Full() const;
  // Takes the packet's data over; the packet is left empty. Without memory for it, it is lost.
  void Hold(AVPacket* packet);
  // The oldest packet held; nothing when none is.
  PacketPtr Take();

 private:
  std::deque<PacketPtr> packets_;
  size_t bytes_ = 0;
};

}  // namespace quorvane::player
