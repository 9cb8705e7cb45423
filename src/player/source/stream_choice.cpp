#include "player/source/stream_choice.h"

#include <algorithm>
#include <tuple>

namespace quorvane::player {

std::vector<int> RankStreams(std::vector<StreamFacts> streams) {
  std::erase_if(streams, [](const StreamFacts& s) { return !s.decodable; });
  auto key = [](const StreamFacts& s) {
    return std::make_tuple(s.has_packets, s.bit_rate, s.sample_rate, s.channels, s.pixels,
                           s.preferred, -s.index);
  };
  std::sort(streams.begin(), streams.end(),
            [&](const StreamFacts& a, const StreamFacts& b) { return key(a) > key(b); });
  std::vector<int> ranked;
  for (const StreamFacts& s : streams) ranked.push_back(s.index);
  return ranked;
}

}  // namespace quorvane::player
