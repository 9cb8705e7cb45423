// The streams of an open file that may be played, and their decoders.
#pragma once

#include <map>
#include <vector>

#include "player/decode/ffmpeg_handles.h"

namespace quorvane::player {

// The streams of one kind that can be played, best first (stream_choice.h ranks them).
std::vector<int> Candidates(const AVFormatContext* format, AVMediaType type,
                            const std::map<int, int>& packets);

// The stream's decoder, opened, or nothing when this build has none or it fails to open.
CodecPtr OpenDecoder(const AVStream* stream);

}  // namespace quorvane::player
