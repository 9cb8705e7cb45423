// Reading clip and metafile files by their UTF-8 paths without ever throwing: a path from a
// metafile's bytes may not be valid text, and the Windows build's conversion of such a path
// throws. Such a path names no file. Used by the player's worker thread.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "player/real_media.h"

namespace quorvane::player {

// The path, or nothing when the text is not valid UTF-8.
std::optional<std::filesystem::path> PathFromUtf8(std::string_view utf8);

bool IsRegularFile(std::string_view utf8);

// The file's first bytes (up to most of them), or nothing when it cannot be opened.
std::optional<std::string> ReadHead(std::string_view utf8, size_t most);

// The file as a byte source, or nullptr when it cannot be opened.
std::unique_ptr<ByteSource> OpenByteSource(std::string_view utf8);

}  // namespace quorvane::player
