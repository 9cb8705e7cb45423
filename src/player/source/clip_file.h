// How the player reaches clip and metafile files: by their UTF-8 paths, without ever throwing (a
// path from a metafile's bytes may not be valid text, and the Windows build's conversion of
// such a path throws; such a path names no file). Every byte the player reads goes through a
// ClipFiles, so tests can hand it files that fail or are slow at any operation. Used by the
// player's worker thread; an implementation must allow calls from any one thread at a time.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "player/source/real_media.h"

namespace quorvane::player {

// The path, or nothing when the text is not valid UTF-8.
std::optional<std::filesystem::path> PathFromUtf8(std::string_view utf8);

class ClipFiles {
 public:
  virtual ~ClipFiles() = default;
  // The file as a byte source, or nullptr when it cannot be opened.
  virtual std::unique_ptr<ByteSource> Open(std::string_view utf8) const = 0;
  virtual bool IsRegularFile(std::string_view utf8) const = 0;
};

// A file opened once: its first bytes, and the file itself, which gives those bytes again from
// memory before the rest (and rewinds to its start), so that whoever plays it neither opens nor
// reads it a second time.
struct OpenedFile {
  std::string path;
  ContentKind kind = ContentKind::kOther;  // of its first bytes
  std::string head;
  std::unique_ptr<ByteSource> bytes;  // from the first byte
};

// The file with up to most of its first bytes read, or nothing when it cannot be opened.
std::optional<OpenedFile> OpenWithHead(const ClipFiles& files, const std::string& utf8,
                                       size_t most);

// The files on the disk.
std::shared_ptr<const ClipFiles> DiskFiles();

}  // namespace quorvane::player
