#include "player/decode/ffmpeg_setup.h"

extern "C" {
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

#include <cstddef>
#include <mutex>

namespace quorvane::player {

namespace {

// The largest block FFmpeg may ask for: a picture of the largest size and then some. A damaged
// header can otherwise make it ask for a gigabyte for one packet.
constexpr size_t kLargestAllocation = 192 * 1024 * 1024;

}  // namespace

void SetUpFFmpeg() {
  static std::once_flag once;
  std::call_once(once, [] {
    av_log_set_level(AV_LOG_QUIET);
    av_max_alloc(kLargestAllocation);
  });
}

}  // namespace quorvane::player
