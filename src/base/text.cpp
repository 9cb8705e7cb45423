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

std::string JoinPath(std::string_view folder, std::string_view name, char separator) {
  std::string joined(folder);
  if (joined.empty() || joined.back() != separator) joined += separator;
  joined.append(name);
  return joined;
}

}  // namespace quorvane::base
