#include "config/browser_paths.h"

#include <algorithm>

#include "base/text.h"
#include "base/utf8.h"

namespace quorvane::config {
namespace {

// One character's length, so that "?" takes a whole character.
size_t CharLength(std::string_view text, size_t at) {
  return base::FirstCharacter(text.substr(at)).size();
}

bool MatchesOne(std::string_view name, std::string_view pattern) {
  // Classic wildcard matching with one back-tracking point for the latest "*".
  size_t n = 0, p = 0;
  size_t star = std::string_view::npos, star_n = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      star_n = n;
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      n += CharLength(name, n);
    } else if (p < pattern.size() && base::AsciiLower(pattern[p]) == base::AsciiLower(name[n])) {
      ++p;
      ++n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      star_n += CharLength(name, star_n);
      n = star_n;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

std::string JoinEntryPath(std::string_view folder, std::string_view file_name) {
  return base::JoinPath(folder, file_name, '\\');
}

bool MatchesPattern(std::string_view name, std::string_view patterns) {
  while (true) {
    size_t end = patterns.find(';');
    std::string_view one = patterns.substr(0, end);
    if (!one.empty() && MatchesOne(name, one)) return true;
    if (end == std::string_view::npos) return false;
    patterns.remove_prefix(end + 1);
  }
}

std::vector<std::string> SplitFolders(std::string_view path) {
  size_t root_end = 0;
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    // "\\server\share\": the root runs to the backslash after the share's name.
    size_t server_end = path.find('\\', 2);
    size_t share_end =
        server_end == std::string_view::npos ? server_end : path.find('\\', server_end + 1);
    root_end = share_end == std::string_view::npos ? path.size() : share_end + 1;
  } else {
    size_t first = path.find('\\');
    root_end = first == std::string_view::npos ? path.size() : first + 1;
  }
  std::vector<std::string> folders{std::string(path.substr(0, root_end))};
  if (folders[0].empty() || folders[0].back() != '\\') folders[0] += '\\';
  path.remove_prefix(root_end);
  while (!path.empty()) {
    size_t end = path.find('\\');
    std::string_view folder = path.substr(0, end);
    if (!folder.empty()) folders.emplace_back(folder);
    if (end == std::string_view::npos) break;
    path.remove_prefix(end + 1);
  }
  return folders;
}

std::string JoinFolders(const std::vector<std::string>& folders, size_t count) {
  std::string path;
  for (size_t i = 0; i < count && i < folders.size(); ++i) {
    if (i > 1) path += '\\';
    path += folders[i];
  }
  return path;
}

}  // namespace quorvane::config
