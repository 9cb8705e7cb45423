// The end-to-end harness: runs the real Quorvane.scr under Wine from a scratch program folder,
// finds its windows, sends it input and reads back window states and files. Every wait is
// bounded. Used by the test programs in tests/e2e/*, one test at a time.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "win/text_win.h"

namespace quorvane::e2e {

using win::Narrow;
using win::Widen;
// Text in the ANSI code page, as the settings file holds it.
std::string Ansi(std::wstring_view utf16);

// An environment variable's value, empty when it is not set.
std::wstring Environment(const wchar_t* name);

// The program under test (QUORVANE_SCR) and the folder of generated clips (QUORVANE_CLIPS).
std::wstring ScrPath();
std::wstring ClipsFolder();

// A wait's limit stretched QUORVANE_WAIT_SCALE times (1 to 100; 1 when unset), for a machine
// that runs the programs many times slower than Windows would (an emulated 32-bit run). Every
// wait below is stretched; what a test measures is not.
DWORD Scaled(DWORD timeout_ms);

// Polls condition every few milliseconds until it holds or timeout_ms (scaled) have passed.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms);

// A scratch folder in %TEMP% holding its own copy of Quorvane.scr; removed with everything in it.
class ProgramFolder {
 public:
  explicit ProgramFolder(std::wstring_view name = L"quorvane-e2e");
  ~ProgramFolder();
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  const std::wstring& Path() const { return path_; }
  std::wstring Scr() const { return path_ + L"\\Quorvane.scr"; }
  std::wstring Join(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

  void WriteBytes(std::wstring_view name, std::string_view bytes) const;
  std::optional<std::string> ReadBytes(std::wstring_view name) const;
  // The settings file's raw bytes.
  void WriteSettings(std::string_view bytes) const { WriteBytes(L"Quorvane.ini", bytes); }
  std::optional<std::string> ReadSettings() const { return ReadBytes(L"Quorvane.ini"); }

 private:
  std::wstring path_;
};

// Writes a file, creating nothing else; fails the test when it cannot.
void WriteFileBytes(const std::wstring& path, std::string_view bytes);
std::optional<std::string> ReadFileBytes(const std::wstring& path);
void RemoveTree(const std::wstring& path);

// A whole command line, handed to the program exactly as written.
struct CommandLine {
  std::wstring text;
};

// A started program; ended (terminated) when the object goes, if still running.
class Process {
 public:
  // Starts exe with this argument text, as Windows does: "exe" args. cwd defaults to exe's folder.
  Process(const std::wstring& exe, std::wstring_view arguments, std::wstring cwd = L"");
  // Starts exe with this command line, its own path in it as the test wrote it.
  Process(const std::wstring& exe, CommandLine line, std::wstring cwd = L"");
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool Started() const { return info_.hProcess != nullptr; }
  DWORD Id() const { return info_.dwProcessId; }
  HANDLE Handle() const { return info_.hProcess; }
  bool Running() const;
  // True once the process has ended within the time (scaled).
  bool WaitForExit(DWORD timeout_ms) const;
  // The exit code once the process has ended (0 is a clean end).
  DWORD ExitCode() const;
  void Terminate();

  // The visible top-level windows of this process.
  std::vector<HWND> Windows() const;
  // The first visible top-level window with this class and caption (empty = any), or nullptr.
  HWND FindWindow(std::wstring_view class_name, std::wstring_view caption) const;
  HWND WaitForWindow(std::wstring_view class_name, std::wstring_view caption,
                     DWORD timeout_ms) const;

 private:
  PROCESS_INFORMATION info_{};
};

std::wstring ClassOf(HWND window);
std::wstring TextOf(HWND window);
// The window's rectangle in screen coordinates, and its client rectangle in the parent's.
RECT ScreenRect(HWND window);
RECT RectInParent(HWND window);
// What the screen shows of the window's client area (part of it when part is not empty, in
// client coordinates), 0x00RRGGBB a pixel, row by row. Read from the screen, so it works for
// another process's windows too.
std::vector<uint32_t> ScreenPixels(HWND window, RECT part = {});
// Keeps what the whole screen (every monitor) shows as <name>.bmp in the folder QUORVANE_ARTIFACTS
// names (for a person to look at); does nothing when it is not set.
void SaveScreenshot(std::wstring_view name);
// Direct children with this class and text (empty = any), in z order.
std::vector<HWND> Children(HWND parent, std::wstring_view class_name = L"",
                           std::wstring_view text = L"");

// Input, posted to the window as the system would deliver it.
void PostMouseMove(HWND window, int x, int y);
void PostClick(HWND window, int x, int y);
void PostKey(HWND window, UINT virtual_key, bool system_key = false);

}  // namespace quorvane::e2e
