// The clips the player's tests play: generated ones (tests/e2e/make-clips), made on first use,
// and the clips made by Real's own encoders in the shared folder beside the project.
#pragma once

#include <optional>
#include <string>

namespace quorvane::player::testing {

// The generated clip's full path; generates the whole set the first time.
std::string Clip(const std::string& name);

// A real clip's full path, or nothing when the shared folder is not there.
std::optional<std::string> RealClip(const std::string& name);
inline constexpr char kNoRealClips[] =
    "skipped: the real clips folder (shared/clips/real beside the project) is not there";

// A fresh empty folder for files a test makes.
std::string ScratchFolder(const std::string& name);

}  // namespace quorvane::player::testing
