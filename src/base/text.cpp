#include "base/text.h"

namespace quorvane::base {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (AsciiLower(text[i]) != AsciiLower(prefix[i])) return false;
  }
  return true;
}

bool ForEachLine(std::string_view text, const std::function<bool(std::string_view)>& visit) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    if (!visit(text.substr(start, end - start))) return false;
    start = end + 1;
    if (end < text.size() && text[end] == '\r' && start < text.size() && text[start] == '\n') {
      ++start;
    }
  }
  return true;
}

std::string JoinPath(std::string_view folder, std::string_view name, char separator) {
  std::string joined(folder);
  if (joined.empty() || joined.back() != separator) joined += separator;
  joined.append(name);
  return joined;
}

}  // namespace quorvane::base
