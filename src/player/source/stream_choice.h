// Which of a clip's streams to play: a SureStream file carries one stream per bit rate, some of
// them without a single packet, and a file may hold codecs this build cannot decode. A pure
// ranking of plain facts about each stream; the clip decoder gathers the facts and opens the
// first stream of the ranking that its decoder accepts.
#pragma once

#include <cstdint>
#include <vector>

namespace quorvane::player {

struct StreamFacts {
  int index = 0;
  bool decodable = false;   // this build has its decoder
  bool has_packets = true;  // as far as known (only RealMedia files are counted)
  bool preferred = false;   // FFmpeg's own pick, which weighs what it saw of the streams
  int64_t bit_rate = 0;
  int sample_rate = 0;  // sound
  int channels = 0;
  int64_t pixels = 0;  // picture
};

// The decodable streams, best first: those with packets, then the highest bit rate, sample
// rate, channel count and picture size, then FFmpeg's pick, then file order.
std::vector<int> RankStreams(std::vector<StreamFacts> streams);

}  // namespace quorvane::player
