#include "player/decode/held_packets.h"

namespace quorvane::player {

namespace {

constexpr size_t kMostHeldBytes = 16 * 1024 * 1024;

}  // namespace

bool HeldPackets::Full() const { return bytes_ > kMostHeldBytes; }

void HeldPackets::Hold(AVPacket* packet) {
  PacketPtr held{av_packet_alloc()};
  if (!held) return;
  packets_.push_back(std::move(held));  // may throw: nothing has changed yet
  av_packet_move_ref(packets_.back().get(), packet);
  bytes_ += static_cast<size_t>(packets_.back()->size);
}

PacketPtr HeldPackets::Take() {
  if (packets_.empty()) return nullptr;
  PacketPtr oldest = std::move(packets_.front());
  packets_.pop_front();
  bytes_ -= static_cast<size_t>(oldest->size);
  return oldest;
}

}  // namespace quorvane::player
