#include "player/source/stream_choice.h"

#include <gtest/gtest.h>

namespace quorvane::player {
namespace {

StreamFacts Sound(int index, int64_t bit_rate, int rate, int channels) {
  StreamFacts s;
  s.index = index;
  s.decodable = true;
  s.bit_rate = bit_rate;
  s.sample_rate = rate;
  s.channels = channels;
  return s;
}

TEST(StreamChoice, RanksTheBestDecodableStreamWithPacketsFirst) {
  // A SureStream file: three cook encodings and an atrac3 one, FFmpeg's pick the one it saw.
  std::vector<StreamFacts> sure = {Sound(1, 16000, 22050, 1), Sound(2, 20000, 22050, 1),
                                   Sound(3, 32000, 44100, 2), Sound(4, 176000, 44100, 2)};
  sure[1].preferred = true;
  EXPECT_EQ(RankStreams(sure), (std::vector<int>{4, 3, 2, 1}));

  // The best one carries no packet, another cannot be decoded by this build.
  sure[3].has_packets = false;
  sure[2].decodable = false;
  EXPECT_EQ(RankStreams(sure), (std::vector<int>{2, 1, 4}));

  // Nothing to tell them apart: FFmpeg's pick, then file order.
  std::vector<StreamFacts> alike = {Sound(0, 0, 8000, 1), Sound(1, 0, 8000, 1),
                                    Sound(2, 0, 8000, 1)};
  alike[2].preferred = true;
  EXPECT_EQ(RankStreams(alike), (std::vector<int>{2, 0, 1}));

  // Pictures: the larger one of equal bit rate.
  StreamFacts small = Sound(0, 0, 0, 0), large = Sound(1, 0, 0, 0);
  small.pixels = 160 * 120;
  large.pixels = 320 * 240;
  EXPECT_EQ(RankStreams({small, large}), (std::vector<int>{1, 0}));
  EXPECT_TRUE(RankStreams({}).empty());
}

}  // namespace
}  // namespace quorvane::player
