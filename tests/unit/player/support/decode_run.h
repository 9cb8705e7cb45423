// One clip decoded from its start to its end as fast as it goes, for the tests that make its
// files or its memory fail at every point: what came out, and whether it ended by itself.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "player/source/clip_file.h"

namespace quorvane::player::testing {

struct DecodeRun {
  bool opened = false;
  bool gave_way = false;  // ran out of memory, as the player's worker would see it
  int pictures = 0;
  int sounds = 0;
  bool timed_out = false;
};

// Decodes the clip through files; a run that lasts over 20 s is stopped and says so. opened,
// when given, is called once the clip is open, before its first picture or sound; enough, when
// given, is asked after every step whether the rest may be left out.
DecodeRun DecodeWhole(const std::string& path, std::shared_ptr<const ClipFiles> files,
                      const std::function<void()>& opened = {},
                      const std::function<bool()>& enough = {});

// The clips every point is tried on: generated ones of each kind, and those of Real's own
// encoders where their folder is there.
std::vector<std::string> FailureClipSet();

}  // namespace quorvane::player::testing
