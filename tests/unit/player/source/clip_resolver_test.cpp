#include "player/source/clip_resolver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

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
    std::optional<OpenedFile> clip = ResolveClip(folder + "/" + name, files, Utf8Line, depth);
    return clip ? std::optional<std::string>(clip->path) : std::nullopt;
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

// The disk's files, and every name the resolver asked about.
class AskedFiles final : public ClipFiles {
 public:
  std::unique_ptr<ByteSource> Open(std::string_view utf8) const override {
    asked.emplace_back(utf8);
    return disk_->Open(utf8);
  }
  bool IsRegularFile(std::string_view utf8) const override {
    asked.emplace_back(utf8);
    return disk_->IsRegularFile(utf8);
  }
  mutable std::vector<std::string> asked;

 private:
  std::shared_ptr<const ClipFiles> disk_ = DiskFiles();
};

// Only what a metafile names on this machine is asked of the disk, at every depth; the path the
// user chose is opened as it is, wherever it is.
TEST(ClipResolver, AsksTheDiskOnlyAboutLocalEntries) {
  std::string folder = testing::ScratchFolder("resolver-local");
  std::filesystem::copy_file(testing::Clip("small.rm"), folder + "/clip.rm");
  std::ofstream(folder + "/inner.ram") << "\\\\hostc\\share\\c.rm\nfile://hostd/d.rm\nclip.rm\n";
  std::ofstream(folder + "/outer.ram")
      << "\\\\hosta\\share\\a.rm\n//hostb/share/b.rm\n\\\\?\\UNC\\h\\s\\c.rm\n"
         "file:////hostd/share/d.rm\nfile://///hoste/share/e.rm\n\\\\.\\UNC\\f\\s\\f.rm\nCON\n"
         "inner.ram\n";
  AskedFiles files;
  std::optional<OpenedFile> clip = ResolveClip(folder + "/outer.ram", files, Utf8Line);
  ASSERT_TRUE(clip);
  EXPECT_EQ(std::filesystem::path(clip->path).filename(), "clip.rm");
  for (const std::string& name : files.asked) {
    EXPECT_EQ(name.rfind(folder, 0), 0u) << "asked about " << name;
  }
  EXPECT_FALSE(files.asked.empty());
}

}  // namespace
}  // namespace quorvane::player
