#include "player/decode/held_packets.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quorvane::player {
namespace {

PacketPtr PacketOf(int size, uint8_t fill) {
  PacketPtr packet{av_packet_alloc()};
  EXPECT_EQ(av_new_packet(packet.get(), size), 0);
  std::fill_n(packet->data, size, fill);
  return packet;
}

TEST(HeldPackets, GivesBackWhatItHeldInOrderWithItsBytes) {
  HeldPackets held;
  EXPECT_TRUE(held.Empty());
  EXPECT_EQ(held.Take(), nullptr);
  for (uint8_t fill : {uint8_t{1}, uint8_t{2}, uint8_t{3}}) {
    PacketPtr packet = PacketOf(100, fill);
    held.Hold(packet.get());
    EXPECT_EQ(packet->size, 0) << "the packet's data was taken over, not copied";
  }
  for (uint8_t fill : {uint8_t{1}, uint8_t{2}, uint8_t{3}}) {
    PacketPtr back = held.Take();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->size, 100);
    EXPECT_EQ(back->data[99], fill);
  }
  EXPECT_TRUE(held.Empty());
}

TEST(HeldPackets, IsFullPastSixteenMebibytesAndNotBefore) {
  HeldPackets held;
  constexpr int kMebibyte = 1024 * 1024;
  for (int i = 0; i < 16; ++i) {
    PacketPtr packet = PacketOf(kMebibyte, 0);
    held.Hold(packet.get());
  }
  EXPECT_FALSE(held.Full());
  PacketPtr one = PacketOf(1, 0);
  held.Hold(one.get());
  EXPECT_TRUE(held.Full());
  held.Take();
  EXPECT_FALSE(held.Full()) << "taking one frees its bytes";
}

}  // namespace
}  // namespace quorvane::player
