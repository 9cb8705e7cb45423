// The streams of an open file that may be played, and their decoders.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "player/decode/ffmpeg_handles.h"
#include "player/source/clip_file.h"

namespace quorvane::player {

// Which streams of a RealMedia file carry packets (by stream id); empty (all may) when it cannot
// be read.
std::map<int, int> CountPackets(const std::string& path, const ClipFiles& files,
                                const std::function<bool()>& interrupted);

// The streams of one kind that can be played, best first (stream_choice.h ranks them).
std::vector<int> Candidates(const AVFormatContext* format, AVMediaType type,
                            const std::map<int, int>& packets);

// The stream's decoder, opened, or nothing when this build has none or it fails to open.
CodecPtr OpenDecoder(const AVStream* stream);

}  // namespace quorvane::player
