#include "win/text_win.h"

namespace quorvane::win {
namespace {

// Nothing when the bytes do not convert (with MB_ERR_INVALID_CHARS: when some are not valid).
std::optional<std::wstring> ToUtf16(UINT code_page, DWORD flags, std::string_view bytes) {
  if (bytes.empty()) return std::wstring();
  int size = static_cast<int>(bytes.size());
  int n = MultiByteToWideChar(code_page, flags, bytes.data(), size, nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(code_page, flags, bytes.data(), size, out.data(), n);
  return out;
}

}  // namespace

std::wstring FromCodePage(UINT code_page, std::string_view bytes) {
  return ToUtf16(code_page, 0, bytes).value_or(std::wstring());
}

std::wstring Widen(std::string_view utf8) { return FromCodePage(CP_UTF8, utf8); }

std::string Narrow(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::optional<std::string> AnsiToUtf8(std::string_view ansi) {
  std::optional<std::wstring> wide = ToUtf16(CP_ACP, MB_ERR_INVALID_CHARS, ansi);
  if (!wide) return std::nullopt;
  return Narrow(*wide);
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace quorvane::win
