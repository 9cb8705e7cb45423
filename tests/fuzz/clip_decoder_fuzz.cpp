// Any bytes as a clip: opened and decoded, a bounded number of steps, without a crash.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "player/decode/clip_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/quorvane-fuzz-clip-" + std::to_string(getpid()) + ".rm";
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  auto decoder = quorvane::player::ClipDecoder::Open(path, [] { return false; });
  if (decoder) {
    quorvane::player::Picture picture;
    quorvane::player::ClipDecoder::Sound sound;
    // Bounded: a few hundred steps are enough to reach every decoding path of a small input.
    for (int step = 0; step < 300; ++step) {
      if (decoder->Next(64, 48, picture, sound) == quorvane::player::ClipDecoder::Step::kEnd) break;
    }
  }
  return 0;
}
