#include "support/decode_run.h"

#include <chrono>
#include <new>
#include <optional>

#include "player/decode/clip_decoder.h"
#include "support/clips.h"

namespace quorvane::player::testing {

namespace {
constexpr auto kLongestRun = std::chrono::seconds(20);
}

DecodeRun DecodeWhole(const std::string& path, std::shared_ptr<const ClipFiles> files,
                      const std::function<void()>& opened, const std::function<bool()>& enough) {
  auto start = std::chrono::steady_clock::now();
  DecodeRun run;
  auto interrupted = [&run, start] {
    run.timed_out = run.timed_out || std::chrono::steady_clock::now() - start > kLongestRun;
    return run.timed_out;
  };
  try {
    std::unique_ptr<ClipDecoder> decoder = ClipDecoder::Open(path, interrupted, std::move(files));
    if (!decoder) return run;
    run.opened = true;
    if (opened) opened();
    Picture picture;
    ClipDecoder::Sound sound;
    for (;;) {
      ClipDecoder::Step step = decoder->Next(0, 0, picture, sound);
      if (step == ClipDecoder::Step::kEnd) break;
      if (step == ClipDecoder::Step::kPicture) ++run.pictures;
      if (step == ClipDecoder::Step::kSound) ++run.sounds;
      if (enough && enough()) break;
    }
  } catch (const std::bad_alloc&) {
    // The player's worker ends the clip there.
    run.gave_way = true;
  }
  return run;
}

std::vector<std::string> FailureClipSet() {
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

}  // namespace quorvane::player::testing
