// Metafiles (".ram"): a text file of paths or URLs, one per line. Only local entries are ever
// played; a screen saver opens no network connection. Pure functions.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane::player {

// True for an entry that names a place on a network (rtsp://, pnm://, http://, ...).
bool IsNetworkEntry(std::string_view entry);

// The local file an entry names: a plain path, a path relative to the metafile's folder, or a
// file:// URL (percent escapes decoded) without a host or with "localhost". Nothing for network
// entries, for paths to another machine or a device (IsThisMachinesPath), for file:// URLs
// naming another host, for comments and blank lines. This alone decides what of a metafile's
// text is ever asked of the disk.
std::optional<std::string> LocalEntryPath(std::string_view entry, std::string_view ram_folder);

// A line of a metafile as UTF-8 text, or nothing when its bytes are not text in any encoding
// the reader knows (the line is then passed over).
using LineDecoder = std::function<std::optional<std::string>(std::string_view)>;

// The line as it is when it is valid UTF-8.
std::optional<std::string> Utf8Line(std::string_view line);

// The first entry of the metafile's text whose file exists, or nothing.
std::optional<std::string> FirstPlayableEntry(
    std::string_view text, std::string_view ram_folder, const LineDecoder& decode,
    const std::function<bool(const std::string&)>& exists);

// The folder holding a path's file (up to its last "\" or "/"), empty when there is none.
std::string_view ParentFolder(std::string_view path);

}  // namespace quorvane::player
