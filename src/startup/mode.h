// Start-up's decision: which mode of the program a command line selects.
// Pure functions over text; the Win32 entry point feeds them the real command line.
#pragma once

#include <string>
#include <string_view>

namespace quorvane::startup {

enum class Mode {
  kPasswordRefusal,  // "/A": show the refusal message, then end
  kConfigure,        // "/C" or no arguments: the settings dialog
  kPreview,          // "/P": end at once, show nothing
  kSaver,            // anything else: the saver
};

// The argument text of a whole command line: what follows the program's own path (quoted or
// not) as the host hands it over, less the one blank or tab that separates the two. Further
// blanks belong to the arguments: "  /c" is a key beginning with a blank, which runs the saver.
std::string_view ArgumentText(std::string_view command_line);

// The mode key: the first two characters of the argument text, upper-cased. UTF-8 in and out;
// a character is a whole UTF-8 sequence, so a Japanese first character stays intact.
std::string ModeKey(std::string_view arguments);

// The mode table, compared exactly against an upper-cased key.
Mode ModeForKey(std::string_view key);

}  // namespace quorvane::startup
