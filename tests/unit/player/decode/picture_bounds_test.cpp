// Pictures converted from every clip at sizes of every kind stay inside the buffers the player
// made for them. The scaler is FFmpeg's own code, which AddressSanitizer does not see into:
// this program runs under valgrind (see CMakeLists.txt), which sees every write. So that a
// decoder that converted nothing could not pass, each size must give the clip's pictures, each
// at the size asked for.
#include <gtest/gtest.h>

#include "player/decode/clip_decoder.h"
#include "support/clips.h"

namespace quorvane::player {
namespace {

// A couple of dozen pictures of each clip, within enough steps for the sound between them.
constexpr int kPictures = 24;
constexpr int kSteps = 2000;

struct ClipPictures {
  const char* name;
  int least;  // pictures the first steps give at every size
};

void ConvertAtEverySize(const std::string& path, int least) {
  // Own size, and widths that are no multiple of 8 or 16, shrinking and enlarging.
  const int sizes[][2] = {{0, 0}, {84, 66}, {83, 61}, {27, 19}, {1021, 767}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(std::to_string(size[0]) + " x " + std::to_string(size[1]));
    auto decoder = ClipDecoder::Open(path, [] { return false; });
    ASSERT_TRUE(decoder);
    Picture picture;
    ClipDecoder::Sound sound;
    int converted = 0;
    for (int step = 0; step < kSteps && converted < kPictures; ++step) {
      ClipDecoder::Step got = decoder->Next(size[0], size[1], picture, sound);
      if (got == ClipDecoder::Step::kEnd) break;
      if (got != ClipDecoder::Step::kPicture) continue;
      ++converted;
      EXPECT_EQ(picture.width, size[0] ? size[0] : picture.source_width);
      EXPECT_EQ(picture.height, size[1] ? size[1] : picture.source_height);
    }
    EXPECT_GE(converted, least);
  }
}

TEST(PictureBounds, GeneratedClips) {
  // corrupt.rm is headers and then noise: whatever the decoder makes of it must stay inside too.
  for (ClipPictures clip : {ClipPictures{"small.rm", kPictures},
                            {"qcif.rm", kPictures},
                            {"medium.rm", kPictures},
                            {"corrupt.rm", 0}}) {
    SCOPED_TRACE(clip.name);
    ConvertAtEverySize(testing::Clip(clip.name), clip.least);
  }
}

TEST(PictureBounds, RealClips) {
  // The stub is headers and 5 KB: one picture.
  for (ClipPictures clip : {ClipPictures{"rv40_cook_helix9_56x44.rm", kPictures},
                            {"rv30_cook_rp85_Battle_160x100.rm", kPictures},
                            {"truncated_rv30_cook_320x240_bbc_misnamed.ram", kPictures},
                            {"truncated_rv40_cook_stub.rm", 1}}) {
    std::optional<std::string> path = testing::RealClip(clip.name);
    if (!path) GTEST_SKIP() << testing::kNoRealClips;
    SCOPED_TRACE(clip.name);
    ConvertAtEverySize(*path, clip.least);
  }
}

}  // namespace
}  // namespace quorvane::player
