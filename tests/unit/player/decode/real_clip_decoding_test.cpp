// Clips made by Real's own encoders (RealVideo 3 and 4, cook, atrac3, dnet, SureStream, old .ra
// files, broken ones) decoded whole, read from the shared folder beside the project when it is
// there; and damaged files the fuzz target found.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "player/decode/clip_decoder.h"
#include "support/clips.h"

namespace quorvane::player {
namespace {

using testing::RealClip;

struct Decoded {
  int width = 0, height = 0;
  int pictures = 0;
  double first_picture = -1, first_sound = -1;
  double sound_seconds = 0;
};

Decoded DecodeWhole(const std::string& path) {
  Decoded d;
  auto decoder = ClipDecoder::Open(path, [] { return false; });
  if (!decoder) return d;
  Picture picture;
  ClipDecoder::Sound sound;
  for (;;) {
    ClipDecoder::Step step = decoder->Next(0, 0, picture, sound);
    if (step == ClipDecoder::Step::kEnd) break;
    if (step == ClipDecoder::Step::kPicture) {
      if (d.pictures++ == 0) d.first_picture = picture.time;
      d.width = picture.source_width;
      d.height = picture.source_height;
    } else {
      if (d.first_sound < 0) d.first_sound = sound.time;
      d.sound_seconds += sound.Seconds();
    }
  }
  return d;
}

TEST(RealClips, EveryKindPlaysItsPictureAndItsSoundFromTheStart) {
  struct Case {
    const char* name;
    int width, height;
    double least, most;  // seconds of sound: the length the file gives, or what a cut one holds
  } cases[] = {
      {"rv40_cook_helix9_56x44.rm", 56, 44, 29.1, 30.3},
      {"rv30_cook_rp85_Battle_160x100.rm", 160, 100, 117.1, 121.9},
      // Each encoding holds a little less than the file's 6.3 s.
      {"surestream_cook3x_atrac3_helix9.rm", 0, 0, 5.0, 6.3},
      {"dnet_realencoder51_TemptationRag.ra", 0, 0, 171.3, 178.3},
      {"cook_stereo22k_helix11.ra", 0, 0, 204.8, 213.2},
      {"truncated_rv30_cook_320x240_bbc_misnamed.ram", 320, 240, 4.0, 8.5},
  };
  for (const Case& c : cases) {
    std::optional<std::string> path = RealClip(c.name);
    if (!path) {
      GTEST_SKIP() << testing::kNoRealClips;
    }
    SCOPED_TRACE(c.name);
    Decoded d = DecodeWhole(*path);
    EXPECT_EQ(d.width, c.width);
    EXPECT_EQ(d.height, c.height);
    if (c.width > 0) {
      EXPECT_NEAR(d.first_picture, 0.0, 0.2);
    }
    EXPECT_NEAR(d.first_sound, 0.0, 0.1);
    EXPECT_GE(d.sound_seconds, c.least);
    EXPECT_LE(d.sound_seconds, c.most);
  }
}

// Inputs the clip fuzz target found: damaged headers that had FFmpeg ask for a packet of a
// gigabyte or so, over and over, which took seconds each (and as much memory).
TEST(FuzzFindings, DamagedHeadersAskingForHugePacketsEndQuickly) {
  for (const char* name : {"huge-packet-timeout.rm", "huge-packet-slow.rm"}) {
    SCOPED_TRACE(name);
    auto start = std::chrono::steady_clock::now();
    auto decoder =
        ClipDecoder::Open(std::string(QUORVANE_TEST_DATA) + "/" + name, [] { return false; });
    if (decoder) {
      Picture picture;
      ClipDecoder::Sound sound;
      for (int step = 0; step < 300; ++step) {
        if (decoder->Next(64, 48, picture, sound) == ClipDecoder::Step::kEnd) break;
      }
    }
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2.0);
  }
}

}  // namespace
}  // namespace quorvane::player
