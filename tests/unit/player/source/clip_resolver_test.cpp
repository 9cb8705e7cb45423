#include "player/source/clip_resolver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/clips.h"

namespace quorvane::player {
namespace {

// Metafiles name clips by their local paths, relative to the metafile's folder; one may name
// another, or itself, or nothing that plays.
TEST(ClipResolver, FollowsMetafilesToTheClipTheyNameAndNoDeeperThanItMay) {
  std::string folder = testing::ScratchFolder("resolver");
  std::filesystem::copy_file(testing::Clip("small.rm"), folder + "/clip.rm");
  std::ofstream(folder + "/one.ram") << "rtsp://example.invalid/a.rm\nclip.rm\n";
  std::ofstream(folder + "/two.ram") << "one.ram\n";
  std::ofstream(folder + "/self.ram") << "self.ram\n";
  std::ofstream(folder + "/none.ram") << "missing.rm\n";
  std::shared_ptr<const ClipFiles> disk = DiskFiles();
  const ClipFiles& files = *disk;
  auto resolve = [&](const std::string& name, int depth) {
    return ResolveClip(folder + "/" + name, files, Utf8Line, depth);
  };
  EXPECT_EQ(resolve("clip.rm", 0), folder + "/clip.rm") << "a clip is itself";
  std::optional<std::string> one = resolve("one.ram", 1);
  ASSERT_TRUE(one);
  EXPECT_EQ(std::filesystem::path(*one).filename(), "clip.rm");
  EXPECT_TRUE(resolve("two.ram", 2));
  EXPECT_FALSE(resolve("two.ram", 1)) << "one metafile deeper than allowed";
  EXPECT_FALSE(resolve("self.ram", 4));
  EXPECT_FALSE(resolve("none.ram", 4));
  EXPECT_FALSE(resolve("absent.rm", 4));
}

}  // namespace
}  // namespace quorvane::player
