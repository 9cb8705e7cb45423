#include "player/source/ram_file.h"

#include <cctype>

#include "base/text.h"
#include "base/utf8.h"
#include "player/source/local_path.h"

namespace quorvane::player {

namespace {

std::string_view Trim(std::string_view text) {
  const std::string_view blanks = " \t\r\n\v\f";
  size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

// "scheme://" with a scheme of two letters or more ("C://" is a drive, not a scheme).
size_t SchemeLength(std::string_view entry) {
  size_t i = 0;
  while (i < entry.size() && (std::isalnum(static_cast<unsigned char>(entry[i])) ||
                              entry[i] == '+' || entry[i] == '-' || entry[i] == '.')) {
    ++i;
  }
  bool scheme =
      i >= 2 && std::isalpha(static_cast<unsigned char>(entry[0])) && entry.substr(i, 3) == "://";
  return scheme ? i : 0;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecoded(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

bool IsAbsolute(std::string_view path) {
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
    return true;
  }
  return !path.empty() && (path[0] == '\\' || path[0] == '/');
}

// The folder's own kind of separator: "/" for a folder written with those alone.
char SeparatorOf(std::string_view folder) {
  bool unix_style =
      folder.find('/') != std::string_view::npos && folder.find('\\') == std::string_view::npos;
  return unix_style ? '/' : '\\';
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDriveLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

// No file name holds one; a NUL would end the name early for Windows ("CON%00.rm" is CON).
bool HasControlCharacter(std::string_view path) {
  for (char c : path) {
    if (static_cast<unsigned char>(c) < 0x20) return true;
  }
  return false;
}

// The path that a file:// URL names, from what follows "file://", or nothing when its host is
// another machine. Escapes are decoded first, so an escaped host or separator counts as written.
std::optional<std::string> FileUrlPath(std::string_view rest) {
  std::string decoded = PercentDecoded(rest);
  std::string_view text = decoded;
  std::string_view host = text.substr(0, text.find_first_of("\\/"));
  bool drive = host.size() == 2 && IsDriveLetter(host[0]) && host[1] == ':';  // file://C:/a.rm
  if (host.size() == 9 && base::StartsWithNoCase(host, "localhost")) {
    text.remove_prefix(host.size());
  } else if (!host.empty() && !drive) {
    return std::nullopt;
  }
  // file:///C:/a.rm: the slash before the drive belongs to the URL, not to the path.
  if (text.size() >= 3 && IsSeparator(text[0]) && IsDriveLetter(text[1]) && text[2] == ':') {
    text.remove_prefix(1);
  }
  return std::string(text);
}

}  // namespace

bool IsNetworkEntry(std::string_view entry) {
  entry = Trim(entry);
  return SchemeLength(entry) > 0 && !base::StartsWithNoCase(entry, "file://");
}

std::string_view ParentFolder(std::string_view path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}

std::optional<std::string> LocalEntryPath(std::string_view entry, std::string_view ram_folder) {
  entry = Trim(entry);
  if (entry.empty() || entry[0] == '#' || entry.substr(0, 2) == "--") return std::nullopt;
  if (IsNetworkEntry(entry)) return std::nullopt;
  std::optional<std::string> path =
      base::StartsWithNoCase(entry, "file://") ? FileUrlPath(entry.substr(7)) : std::string(entry);
  if (!path || path->empty() || HasControlCharacter(*path) || !IsThisMachinesPath(*path)) {
    return std::nullopt;
  }
  if (!IsAbsolute(*path) && !ram_folder.empty()) {
    return base::JoinPath(ram_folder, *path, SeparatorOf(ram_folder));
  }
  return path;
}

std::optional<std::string> Utf8Line(std::string_view line) {
  if (!base::IsValidUtf8(line)) return std::nullopt;
  return std::string(line);
}

std::optional<std::string> FirstPlayableEntry(
    std::string_view text, std::string_view ram_folder, const LineDecoder& decode,
    const std::function<bool(const std::string&)>& exists) {
  std::optional<std::string> found;
  base::ForEachLine(text, [&](std::string_view bytes) {
    std::optional<std::string> line = decode(bytes);
    std::optional<std::string> path = line ? LocalEntryPath(*line, ram_folder) : std::nullopt;
    if (path && exists(*path)) found = std::move(path);
    return !found;
  });
  return found;
}

}  // namespace quorvane::player
