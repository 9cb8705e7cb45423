#include "player/source/clip_resolver.h"

#include "player/source/real_media.h"

namespace quorvane::player {

namespace {

// A metafile is a few lines; reading stops here. Its content is judged by as much.
constexpr size_t kLargestMetafile = 64 * 1024;

}  // namespace

std::optional<OpenedFile> ResolveClip(const std::string& path, const ClipFiles& files,
                                      const LineDecoder& metafile_lines, int depth) {
  std::optional<OpenedFile> file = OpenWithHead(files, path, kLargestMetafile);
  if (!file || file->kind != ContentKind::kText) return file;
  if (depth == 0) return std::nullopt;
  std::optional<std::string> entry =
      FirstPlayableEntry(file->head, ParentFolder(path), metafile_lines,
                         [&files](const std::string& named) { return files.IsRegularFile(named); });
  return entry ? ResolveClip(*entry, files, metafile_lines, depth - 1) : std::nullopt;
}

}  // namespace quorvane::player
