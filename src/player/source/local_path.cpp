#include "player/source/local_path.h"

#include <array>
#include <string>

#include "base/text.h"

namespace quorvane::player {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = base::AsciiUpper(c);
  return upper;
}

}  // namespace

bool IsDeviceName(std::string_view part) {
  // Windows reads a device name up to the first dot or colon and without the blanks before it.
  part = part.substr(0, part.find_first_of(".:"));
  while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
  const std::string name = UpperAscii(part);
  static constexpr std::array<std::string_view, 6> kNames = {"CON", "PRN",    "AUX",
                                                             "NUL", "CONIN$", "CONOUT$"};
  for (std::string_view device : kNames) {
    if (name == device) return true;
  }
  if (name.size() < 4 || (name.substr(0, 3) != "COM" && name.substr(0, 3) != "LPT")) return false;
  std::string_view digit = std::string_view(name).substr(3);
  if (digit.size() == 1) return digit[0] >= '1' && digit[0] <= '9';
  // Superscript one, two and three (U+00B9, U+00B2, U+00B3) count as digits there too.
  return digit == "\xC2\xB9" || digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

bool IsThisMachinesPath(std::string_view path) {
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return false;
  // "\??\" hands the rest to the NT object manager unread: "\??\UNC\host\share" is a share.
  if (path.size() >= 4 && IsSeparator(path[0]) && path.substr(1, 2) == "??" &&
      IsSeparator(path[3])) {
    return false;
  }
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = path.size();
    std::string_view part = path.substr(start, end - start);
    // After a drive ("C:CON") the rest of the part is what Windows looks up.
    if (start == 0 && part.size() >= 2 && part[1] == ':') part.remove_prefix(2);
    if (IsDeviceName(part)) return false;
    start = end + 1;
  }
  return true;
}

}  // namespace quorvane::player
