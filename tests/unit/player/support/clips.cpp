#include "support/clips.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdlib>

#include <filesystem>

namespace quorvane::player::testing {

std::string Clip(const std::string& name) {
  static bool made = [] {
    std::string command = std::string(QUORVANE_MAKE_CLIPS) + " " + QUORVANE_TEST_CLIPS;
    return std::system(command.c_str()) == 0;
  }();
  EXPECT_TRUE(made) << "could not generate the test clips";
  return std::string(QUORVANE_TEST_CLIPS) + "/" + name;
}

std::optional<std::string> RealClip(const std::string& name) {
  std::filesystem::path path = std::filesystem::path(QUORVANE_REAL_CLIPS) / name;
  if (!std::filesystem::is_regular_file(path)) return std::nullopt;
  return path.string();
}

std::string ScratchFolder(const std::string& name) {
  std::filesystem::path folder = std::filesystem::path(QUORVANE_TEST_CLIPS).parent_path() /
                                 "scratch" / (name + "-" + std::to_string(::getpid()));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder.string();
}

}  // namespace quorvane::player::testing
