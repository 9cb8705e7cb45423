// Pictures converted from every clip at sizes of every kind stay inside the buffers the player
// made for them. The scaler is FFmpeg's own code, which AddressSanitizer does not see into:
// this program runs under valgrind (see CMakeLists.txt), which sees every write.
#include <gtest/gtest.h>

#include "player/decode/clip_decoder.h"
#include "support/clips.h"

namespace quorvane::player {
namespace {

// Enough steps to convert a couple of dozen pictures of each clip.
constexpr int kSteps = 60;

void ConvertAtEverySize(const std::string& path) {
  // Own size, and widths that are no multiple of 8 or 16, shrinking and enlarging.
  const int sizes[][2] = {{0, 0}, {84, 66}, {83, 61}, {27, 19}, {1021, 767}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(std::to_string(size[0]) + " x " + std::to_string(size[1]));
    auto decoder = ClipDecoder::Open(path, [] { return false; });
    ASSERT_TRUE(decoder);
    Picture picture;
    ClipDecoder::Sound sound;
    for (int step = 0; step < kSteps; ++step) {
      if (decoder->Next(size[0], size[1], picture, sound) == ClipDecoder::Step::kEnd) break;
    }
  }
}

TEST(PictureBounds, GeneratedClips) {
  for (const char* name : {"small.rm", "qcif.rm", "medium.rm", "corrupt.rm"}) {
    SCOPED_TRACE(name);
    ConvertAtEverySize(testing::Clip(name));
  }
}

TEST(PictureBounds, RealClips) {
  for (const char* name :
       {"rv40_cook_helix9_56x44.rm", "rv30_cook_rp85_Battle_160x100.rm",
        "truncated_rv30_cook_320x240_bbc_misnamed.ram", "truncated_rv40_cook_stub.rm"}) {
    std::optional<std::string> path = testing::RealClip(name);
    if (!path) GTEST_SKIP() << testing::kNoRealClips;
    SCOPED_TRACE(name);
    ConvertAtEverySize(*path);
  }
}

}  // namespace
}  // namespace quorvane::player
