// Path rules of the dialog's file browser: joining a folder and a file name into a playlist
// entry, matching file names against the list's pattern, and splitting a folder path into the
// folders the directory list shows. Pure functions over UTF-8 text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvane::config {

// The file list's pattern: clip files and RealMedia metafiles.
inline constexpr std::string_view kClipPattern = "*.rm;*.ram";

// The folder, a "\" unless the folder already ends in one, then the file name (may be empty).
std::string JoinEntryPath(std::string_view folder, std::string_view file_name);

// Whether name matches one of the ";"-separated patterns ("*" any run, "?" one character),
// ASCII letters compared without regard to case, as Windows file names are.
bool MatchesPattern(std::string_view name, std::string_view patterns);

// The folders from the root down: "c:\a\b" gives "c:\", "a", "b"; "\\srv\share\a" gives
// "\\srv\share\", "a". The first element always ends in "\".
std::vector<std::string> SplitFolders(std::string_view path);

// The path of the first count folders of SplitFolders' result ("c:\", "c:\a", "c:\a\b").
std::string JoinFolders(const std::vector<std::string>& folders, size_t count);

}  // namespace quorvane::config
