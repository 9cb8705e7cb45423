#include "settings/settings_encoding_win.h"

#include <windows.h>

#include "win/text_win.h"

namespace quorvane::settings {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The text in the ANSI code page, or false when some character has no code of its own there.
bool ToAnsi(std::wstring_view text, std::string& out) {
  if (text.empty()) return true;
  UINT code_page = GetACP();
  if (code_page == CP_UTF8) {
    out = win::Narrow(text);
    return true;
  }
  int size = static_cast<int>(text.size());
  BOOL defaulted = FALSE;
  int n = WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0,
                              nullptr, &defaulted);
  if (n <= 0 || defaulted) return false;
  out.assign(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, text.data(), size, out.data(), n, nullptr,
                      &defaulted);
  // A round trip catches the code pages where WC_NO_BEST_FIT_CHARS alone lets a character slip.
  return !defaulted && win::FromCodePage(code_page, out) == text;
}

}  // namespace

std::string DecodeSettingsBytes(std::string_view bytes) {
  if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
    return win::Narrow(win::FromCodePage(CP_UTF8, bytes.substr(kUtf8Mark.size())));
  }
  return win::Narrow(win::FromCodePage(CP_ACP, bytes));
}

std::string EncodeSettingsText(std::string_view utf8) {
  std::string ansi;
  if (ToAnsi(win::Widen(utf8), ansi)) return ansi;
  std::string marked(kUtf8Mark);
  marked.append(utf8);
  return marked;
}

}  // namespace quorvane::settings
