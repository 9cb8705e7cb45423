#include "support/saver_driver.h"

#include <chrono>

namespace quorvane::e2e {

namespace {
constexpr DWORD kWindowWait = 15000;
}

std::string SaverSettings(const std::vector<std::string>& options,
                          const std::vector<std::wstring>& clips) {
  std::string text;
  for (const std::string& line : options) text += line + "\r\n";
  for (const std::wstring& clip : clips) {
    bool full = clip.find(L'\\') != std::wstring::npos;
    text += "PlayList =" + Ansi(full ? clip : ClipsFolder() + L"\\" + clip) + "\r\n";
  }
  return text;
}

Saver::Saver(const std::string& settings, std::wstring_view arguments) {
  folder.WriteSettings(settings);
  process = std::make_unique<Process>(folder.Scr(), arguments);
  window = process->WaitForWindow(L"QuorvaneSaver", L"Form1", kWindowWait);
  if (window) {
    std::vector<HWND> children = Children(window, L"QuorvanePlayback");
    if (!children.empty()) component = children[0];
  }
}

std::optional<RECT> Saver::PlacedRect() const {
  if (!WaitUntil([&] { return IsWindowVisible(component) != FALSE; }, kWindowWait)) {
    return std::nullopt;
  }
  return RectInParent(component);
}

bool Saver::Started(const std::wstring& clip) const {
  return component && WaitUntil([&] { return TextOf(component) == clip; }, kWindowWait);
}

std::optional<double> Saver::EndWithKey() const {
  auto start = std::chrono::steady_clock::now();
  PostKey(window, 'A');
  if (!process->WaitForExit(5000)) return std::nullopt;
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace quorvane::e2e
