// The clip a source names: itself when it holds media, or what its metafile names (a metafile is
// text, whatever its name), followed a few metafiles deep and no deeper (one may name itself).
#pragma once

#include <optional>
#include <string>

#include "player/source/clip_file.h"
#include "player/source/ram_file.h"

namespace quorvane::player {

// The clip's file, opened once and its first bytes read, for the player to go on with. Nothing
// when no clip is found: a file that cannot be read, a metafile without a local entry, or
// metafiles deeper than depth.
std::optional<OpenedFile> ResolveClip(const std::string& path, const ClipFiles& files,
                                      const LineDecoder& metafile_lines, int depth = 4);

}  // namespace quorvane::player
