// Text rules shared by the modules: ASCII letter case (the only case the program's rules fold:
// file patterns, URL schemes, the command line's switch) and joining a folder and a name. Pure
// functions over UTF-8 text; the same on every machine, whatever its locale.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quorvane::base {

char AsciiLower(char c);
char AsciiUpper(char c);

// Whether text begins with prefix, ASCII letters compared without regard to case.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// Hands each line of text (without its line end) to visit until visit returns false; false when
// it did. CR LF is one line end, and a lone CR or a lone LF ends a line too (files written by
// other tools); what follows the last line end is the last line.
bool ForEachLine(std::string_view text, const std::function<bool(std::string_view)>& visit);

// The folder, the separator unless the folder already ends in it, then the name.
std::string JoinPath(std::string_view folder, std::string_view name, char separator);

}  // namespace quorvane::base
