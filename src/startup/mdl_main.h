// The start-up procedure: decides the mode and loads exactly one window.
// Written against a small host interface so that the Win32 entry point and the tests share it.
#pragma once

#include <string>
#include <string_view>

namespace quorvane::startup {

// The text of the refusal message for the password switch.
inline constexpr std::string_view kPasswordRefusalText = "パスワードには対応していません。";

class StartupHost {
 public:
  virtual ~StartupHost() = default;
  // True when another copy of this program is already running.
  virtual bool PreviousInstance() = 0;
  // The argument text of the command line (UTF-8).
  virtual std::string CommandArguments() = 0;
  // A message box with OK only, no icon and the application's title; returns once closed.
  virtual void ShowMessage(std::string_view text) = 0;
  virtual void LoadConfig() = 0;  // the settings dialog, frmConfig
  virtual void LoadSaver() = 0;   // the saver window, frmMain
  // Ends the process. The real host never returns from it; a test host records it and returns.
  virtual void EndProcess() = 0;
};

// Called once at process start.
void Main(StartupHost& host);

}  // namespace quorvane::startup
