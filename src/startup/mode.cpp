#include "startup/mode.h"

#include "base/text.h"
#include "base/utf8.h"

namespace quorvane::startup {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string_view ArgumentText(std::string_view command_line) {
  size_t i = 0;
  if (command_line.starts_with('"')) {
    // A quoted path ends at its closing quote: "C:\x.scr"/s hands over /s.
    size_t close = command_line.find('"', 1);
    i = close == std::string_view::npos ? command_line.size() : close + 1;
  } else {
    // An unquoted path ends at the first blank outside quotes; quotes inside it toggle quoting,
    // as Windows reads it.
    bool quoted = false;
    for (; i < command_line.size(); ++i) {
      char c = command_line[i];
      if (c == '"') {
        quoted = !quoted;
      } else if (!quoted && IsBlank(c)) {
        break;
      }
    }
  }
  // The one blank that separates path and arguments; any further one is the arguments' own.
  if (i < command_line.size() && IsBlank(command_line[i])) ++i;
  return command_line.substr(i);
}

std::string ModeKey(std::string_view arguments) {
  std::string key;
  for (int taken = 0; taken < 2 && !arguments.empty(); ++taken) {
    std::string_view character = base::FirstCharacter(arguments);
    key.append(character);
    arguments.remove_prefix(character.size());
  }
  // Only ASCII letters change case: no other character can turn a key into one of the table's.
  for (char& c : key) c = base::AsciiUpper(c);
  return key;
}

Mode ModeForKey(std::string_view key) {
  if (key == "/A") return Mode::kPasswordRefusal;
  if (key == "/C") return Mode::kConfigure;
  if (key == "/P") return Mode::kPreview;
  if (key.empty()) return Mode::kConfigure;
  return Mode::kSaver;
}

}  // namespace quorvane::startup
