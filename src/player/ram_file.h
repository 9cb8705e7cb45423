// ".ram" metafiles: a text file of paths or URLs, one per line. Only local entries are ever
// played; a screen saver opens no network connection. Pure functions.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane::player {

// True for a path named like a metafile (".ram", any letter case).
bool IsRamPath(std::string_view path);

// True for an entry that names a place on a network (rtsp://, pnm://, http://, ...).
bool IsNetworkEntry(std::string_view entry);

// The local file an entry names: a plain path, a path relative to the metafile's folder, or a
// file:// URL (percent escapes decoded). Nothing for network entries, comments and blank lines.
std::optional<std::string> LocalEntryPath(std::string_view entry, std::string_view ram_folder);

// The first entry of the metafile's text whose file exists, or nothing.
std::optional<std::string> FirstPlayableEntry(
    std::string_view text, std::string_view ram_folder,
    const std::function<bool(const std::string&)>& exists);

// The folder part of a path (up to its last "\" or "/"), empty when there is none.
std::string_view FolderOf(std::string_view path);

}  // namespace quorvane::player
