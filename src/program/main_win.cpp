// The Windows entry point: hands the command line to start-up, then runs the message loop
// for the settings dialog. The saver's own loop never comes back here.
#include <windows.h>

#include "config/config_window_win.h"
#include "saver/saver_window_win.h"
#include "startup/mdl_main.h"
#include "startup/mode.h"
#include "win/app_win.h"
#include "win/system_library_win.h"
#include "win/text_win.h"
#include "win/thread_name_win.h"

namespace {

// Named after the program, per session: a second copy of the saver or the dialog finds it.
constexpr wchar_t kInstanceMutexName[] = L"Local\\Quorvane.scr.instance";

class Win32StartupHost final : public quorvane::startup::StartupHost {
 public:
  bool PreviousInstance() override {
    // The handle is kept open for the life of the process: the mutex is this copy's mark.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kInstanceMutexName);
    return mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
  }
  std::string CommandArguments() override {
    std::string line = quorvane::win::Narrow(GetCommandLineW());
    return std::string(quorvane::startup::ArgumentText(line));
  }
  void ShowMessage(std::string_view text) override {
    MessageBoxW(nullptr, quorvane::win::Widen(text).c_str(), quorvane::win::kAppTitle, MB_OK);
  }
  void LoadConfig() override {
    // The saver's window thread names itself; the dialog's is this one.
    quorvane::win::NameThisThread(L"quorvane_window");
    quorvane::config::LoadConfigWindow();
  }
  void LoadSaver() override { quorvane::saver::LoadSaverWindow(); }
  void EndProcess() override { quorvane::win::EndProcess(); }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Before any DLL is loaded by name: none may come from the folder the .scr was started from.
  quorvane::win::RestrictDllSearchToSystemFolder();
  Win32StartupHost host;
  quorvane::startup::Main(host);
  // Only the settings dialog gets here: it runs on events until OK or Cancel ends the process.
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (quorvane::config::IsConfigDialogMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  // The loop ends only on a WM_QUIT that something else posted to this thread, or when
  // GetMessageW fails: the process then ends the same outright way.
  quorvane::win::EndProcess();
}
