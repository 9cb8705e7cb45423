#include "support/saver_here.h"

#include <thread>
#include <vector>

#include "saver/saver_window_win.h"
#include "support/support.h"

namespace quorvane::e2e {

bool StartSaverHere(const std::string& settings, SaverHere& saver) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring folder(self);
  folder.resize(folder.find_last_of(L'\\'));
  WriteFileBytes(folder + L"\\Quorvane.ini", settings);
  std::thread([] { saver::LoadSaverWindow(); }).detach();
  return WaitUntil(
      [&] {
        saver.window = FindWindowW(L"QuorvaneSaver", L"Form1");
        std::vector<HWND> children =
            saver.window ? Children(saver.window, L"QuorvanePlayback") : std::vector<HWND>{};
        saver.component = children.empty() ? nullptr : children[0];
        return saver.component && IsWindowVisible(saver.component);
      },
      15000);
}

}  // namespace quorvane::e2e
