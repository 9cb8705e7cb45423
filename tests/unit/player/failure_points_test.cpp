// Every point where reading a clip can fail, tried: for each clip of the test set, the Nth
// operation on its files (an open, a read or a skip) fails, for every N up to the last the clip
// needs, and each read comes up short in turn. Each run must end (bounded in time), give no more
// than the whole clip does, and lose nothing to a short read; the sanitizers watch for the rest.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "clips.h"
#include "faulty_files.h"
#include "player/clip_decoder.h"

namespace quorvane::player::testing {
namespace {

constexpr auto kLongestRun = std::chrono::seconds(20);

struct Outcome {
  bool opened = false;
  int pictures = 0;
  int sounds = 0;
  bool timed_out = false;
};

Outcome Decode(const std::string& path, std::shared_ptr<const FaultyFiles> files) {
  auto start = std::chrono::steady_clock::now();
  Outcome outcome;
  auto interrupted = [&] {
    outcome.timed_out = outcome.timed_out || std::chrono::steady_clock::now() - start > kLongestRun;
    return outcome.timed_out;
  };
  std::unique_ptr<ClipDecoder> decoder = ClipDecoder::Open(path, interrupted, files);
  if (!decoder) return outcome;
  outcome.opened = true;
  Picture picture;
  ClipDecoder::Sound sound;
  for (;;) {
    ClipDecoder::Step step = decoder->Next(0, 0, picture, sound);
    if (step == ClipDecoder::Step::kEnd) break;
    if (step == ClipDecoder::Step::kPicture) ++outcome.pictures;
    if (step == ClipDecoder::Step::kSound) ++outcome.sounds;
  }
  return outcome;
}

std::vector<std::string> ClipSet() {
  std::vector<std::string> clips;
  for (const char* name :
       {"small.rm", "medium.rm", "tone.rm", "tone-ac3.rm", "corrupt.rm", "short-ac3.rm"}) {
    clips.push_back(Clip(name));
  }
  for (const char* name :
       {"rv40_cook_helix9_56x44.rm", "rv30_cook_rp85_Battle_160x100.rm",
        "surestream_cook3x_atrac3_helix9.rm", "dnet_realencoder51_TemptationRag.ra",
        "cook_stereo22k_helix11.ra", "truncated_rv30_cook_320x240_bbc_misnamed.ram",
        "truncated_rv40_cook_stub.rm"}) {
    if (std::optional<std::string> real = RealClip(name)) clips.push_back(*real);
  }
  return clips;
}

TEST(FailurePoints, EveryFailedOrShortFileOperationEndsTheClipCleanly) {
  auto started = std::chrono::steady_clock::now();
  int runs = 0;
  for (const std::string& clip : ClipSet()) {
    SCOPED_TRACE(clip);
    auto counting = std::make_shared<FaultyFiles>();
    Outcome whole = Decode(clip, counting);
    ASSERT_FALSE(whole.timed_out);
    std::vector<Operation> log = counting->Log();
    for (int64_t n = 1; n <= static_cast<int64_t>(log.size()); ++n) {
      for (Fault fault : {Fault::kError, Fault::kShortRead}) {
        if (fault == Fault::kShortRead && log[static_cast<size_t>(n - 1)] != Operation::kRead) {
          continue;
        }
        SCOPED_TRACE("operation " + std::to_string(n) +
                     (fault == Fault::kError ? " fails" : " comes up short"));
        Outcome run = Decode(clip, std::make_shared<FaultyFiles>(n, fault));
        ++runs;
        EXPECT_FALSE(run.timed_out) << "the clip did not end";
        EXPECT_LE(run.pictures, whole.pictures + 1);
        if (fault == Fault::kShortRead) {
          EXPECT_EQ(run.opened, whole.opened);
          EXPECT_EQ(run.pictures, whole.pictures);
          EXPECT_EQ(run.sounds, whole.sounds);
        }
      }
    }
    std::printf("%s: %zu file operations\n", clip.c_str(), log.size());
  }
  std::printf("%d runs in %.1f s\n", runs,
              std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
}

}  // namespace
}  // namespace quorvane::player::testing
