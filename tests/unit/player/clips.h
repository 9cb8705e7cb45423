// The generated test clips (tests/e2e/make-clips), made on first use.
#pragma once

#include <string>

namespace quorvane::player::testing {

// The clip's full path; generates the whole set the first time.
std::string Clip(const std::string& name);

// A fresh empty folder for files a test makes.
std::string ScratchFolder(const std::string& name);

}  // namespace quorvane::player::testing
