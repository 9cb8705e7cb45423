#include "startup/mode.h"

namespace quorvane::startup {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Length of the UTF-8 sequence that starts with this byte (1 for a stray continuation byte).
size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

}  // namespace

std::string_view ArgumentText(std::string_view command_line) {
  size_t i = 0;
  // The program path: up to the closing quote if it starts with one, else up to a blank.
  // Quotes inside an unquoted path toggle quoting, as Windows reads it.
  bool quoted = false;
  for (; i < command_line.size(); ++i) {
    char c = command_line[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && IsBlank(c)) {
      break;
    }
  }
  while (i < command_line.size() && IsBlank(command_line[i])) ++i;
  return command_line.substr(i);
}

std::string ModeKey(std::string_view arguments) {
  std::string key;
  size_t i = 0;
  for (int taken = 0; taken < 2 && i < arguments.size(); ++taken) {
    size_t len = SequenceLength(static_cast<unsigned char>(arguments[i]));
    if (len > arguments.size() - i) len = arguments.size() - i;
    key.append(arguments.substr(i, len));
    i += len;
  }
  // Only ASCII letters change case: no other character can turn a key into one of the table's.
  for (char& c : key) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
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
