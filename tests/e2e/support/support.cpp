#include "support/support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <thread>
#include <utility>

namespace quorvane::e2e {

std::string Ansi(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  int size = static_cast<int>(utf16.size());
  int n = WideCharToMultiByte(CP_ACP, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, utf16.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring Environment(const wchar_t* name) {
  wchar_t buffer[32768];
  DWORD n = GetEnvironmentVariableW(name, buffer, 32768);
  return n > 0 && n < 32768 ? std::wstring(buffer, n) : std::wstring();
}

std::wstring ScrPath() {
  std::wstring path = Environment(L"QUORVANE_SCR");
  EXPECT_FALSE(path.empty()) << "QUORVANE_SCR is not set";
  return path;
}

std::wstring ClipsFolder() {
  std::wstring path = Environment(L"QUORVANE_CLIPS");
  EXPECT_FALSE(path.empty()) << "QUORVANE_CLIPS is not set";
  return path;
}

DWORD Scaled(DWORD timeout_ms) {
  static const DWORD scale = [] {
    std::wstring text = Environment(L"QUORVANE_WAIT_SCALE");
    unsigned long value = text.empty() ? 1 : std::wcstoul(text.c_str(), nullptr, 10);
    return value >= 1 && value <= 100 ? static_cast<DWORD>(value) : 1;
  }();
  return timeout_ms * scale;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(Scaled(timeout_ms));
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void WriteFileBytes(const std::wstring& path, std::string_view bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << Narrow(path);
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_TRUE(ok && written == bytes.size()) << Narrow(path);
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char chunk[65536];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring child = path + L"\\" + name;
      SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(path.c_str());
}

ProgramFolder::ProgramFolder(std::wstring_view name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  static int serial = 0;
  path_ = std::wstring(temp) + std::wstring(name) + L"-" + std::to_wstring(GetCurrentProcessId()) +
          L"-" + std::to_wstring(++serial);
  RemoveTree(path_);
  EXPECT_TRUE(CreateDirectoryW(path_.c_str(), nullptr)) << Narrow(path_);
  EXPECT_TRUE(CopyFileW(ScrPath().c_str(), Scr().c_str(), FALSE)) << Narrow(Scr());
}

ProgramFolder::~ProgramFolder() { RemoveTree(path_); }

void ProgramFolder::WriteBytes(std::wstring_view name, std::string_view bytes) const {
  WriteFileBytes(Join(name), bytes);
}

std::optional<std::string> ProgramFolder::ReadBytes(std::wstring_view name) const {
  return ReadFileBytes(Join(name));
}

namespace {

std::wstring QuotedWithArguments(const std::wstring& exe, std::wstring_view arguments) {
  std::wstring line = L"\"" + exe + L"\"";
  if (!arguments.empty()) line += L" " + std::wstring(arguments);
  return line;
}

}  // namespace

Process::Process(const std::wstring& exe, std::wstring_view arguments, std::wstring cwd)
    : Process(exe, CommandLine{QuotedWithArguments(exe, arguments)}, std::move(cwd)) {}

Process::Process(const std::wstring& exe, CommandLine command_line, std::wstring cwd) {
  if (cwd.empty()) cwd = exe.substr(0, exe.find_last_of(L'\\'));
  std::wstring& line = command_line.text;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  // On a loaded machine Wine now and then loses a new process before it has finished starting
  // it (CreateProcess: ERROR_INTERNAL_ERROR, the process gone with no exit code of its own).
  // That start is said and tried again; any other failure fails the test.
  constexpr int kTries = 3;
  for (int attempt = 1;; ++attempt) {
    if (CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(),
                       &startup, &info_)) {
      return;
    }
    DWORD error = GetLastError();
    info_ = {};
    if (error != ERROR_INTERNAL_ERROR || attempt == kTries) {
      ADD_FAILURE() << "could not start " << Narrow(line) << ": error " << error;
      return;
    }
    std::printf("Wine could not start %s (error %lu); trying again\n", Narrow(line).c_str(),
                static_cast<unsigned long>(error));
    Sleep(500);
  }
}

Process::~Process() {
  Terminate();
  if (info_.hThread) CloseHandle(info_.hThread);
  if (info_.hProcess) CloseHandle(info_.hProcess);
}

bool Process::Running() const {
  return Started() && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Process::WaitForExit(DWORD timeout_ms) const {
  return Started() && WaitForSingleObject(info_.hProcess, Scaled(timeout_ms)) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (Started()) GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

void Process::Terminate() {
  if (Running()) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
  }
}

namespace {

struct WindowSearch {
  DWORD process;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->process && IsWindowVisible(window)) search->found.push_back(window);
  return TRUE;
}

bool Matches(HWND window, std::wstring_view class_name, std::wstring_view text) {
  return (class_name.empty() || ClassOf(window) == class_name) &&
         (text.empty() || TextOf(window) == text);
}

}  // namespace

std::vector<HWND> Process::Windows() const {
  WindowSearch search{info_.dwProcessId, {}};
  if (Started()) EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND Process::FindWindow(std::wstring_view class_name, std::wstring_view caption) const {
  for (HWND window : Windows()) {
    if (Matches(window, class_name, caption)) return window;
  }
  return nullptr;
}

HWND Process::WaitForWindow(std::wstring_view class_name, std::wstring_view caption,
                            DWORD timeout_ms) const {
  HWND window = nullptr;
  WaitUntil([&] { return (window = FindWindow(class_name, caption)) != nullptr; }, timeout_ms);
  return window;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256];
  int n = GetClassNameW(window, name, 256);
  return std::wstring(name, n > 0 ? static_cast<size_t>(n) : 0);
}

std::wstring TextOf(HWND window) {
  // One WM_GETTEXT into room enough for any path (it reads another process's window text as
  // well); asking for the length first would race with a text that changes in between.
  std::wstring text(32768, L'\0');
  LRESULT n = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(n));
  return text;
}

RECT ScreenRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

RECT RectInParent(HWND window) {
  RECT rect = ScreenRect(window);
  HWND parent = GetParent(window);
  if (parent) MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::vector<uint32_t> ScreenPixels(HWND window, RECT part) {
  if (IsRectEmpty(&part)) GetClientRect(window, &part);
  MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&part), 2);
  int width = part.right - part.left;
  int height = part.bottom - part.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::vector<uint32_t> pixels;
  if (bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, part.left, part.top, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const uint32_t*>(bits);
    pixels.assign(first, first + static_cast<size_t>(width) * static_cast<size_t>(height));
    SelectObject(memory, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  for (uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
  return pixels;
}

void SaveScreenshot(std::wstring_view name) {
  std::wstring folder = Environment(L"QUORVANE_ARTIFACTS");
  if (folder.empty()) return;
  // The folder, and those above it that a fresh checkout lacks (artifacts/ itself).
  for (size_t at = folder.find_first_of(L"/\\", 1); at != std::wstring::npos;
       at = folder.find_first_of(L"/\\", at + 1)) {
    CreateDirectoryW(folder.substr(0, at).c_str(), nullptr);
  }
  CreateDirectoryW(folder.c_str(), nullptr);
  // Every monitor: the virtual screen.
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  std::vector<uint32_t> pixels =
      ScreenPixels(GetDesktopWindow(), RECT{left, top, left + width, top + height});
  if (pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) return;
  // A 24-bit bitmap file, rows bottom-up and padded to four bytes.
  const size_t row = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{sizeof info, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + row * static_cast<size_t>(height));
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
  for (int y = height - 1; y >= 0; --y) {
    std::string line(row, '\0');
    for (int x = 0; x < width; ++x) {
      uint32_t pixel =
          pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
      for (int c = 0; c < 3; ++c) {
        line[static_cast<size_t>(x) * 3 + static_cast<size_t>(c)] =
            static_cast<char>((pixel >> (8 * c)) & 0xFF);
      }
    }
    bytes += line;
  }
  WriteFileBytes(folder + L"\\" + std::wstring(name) + L".bmp", bytes);
}

std::vector<HWND> Children(HWND parent, std::wstring_view class_name, std::wstring_view text) {
  std::vector<HWND> found;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (Matches(child, class_name, text)) found.push_back(child);
  }
  return found;
}

void PostMouseMove(HWND window, int x, int y) {
  PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}

void PostClick(HWND window, int x, int y) {
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void PostKey(HWND window, UINT virtual_key, bool system_key) {
  UINT scan = MapVirtualKeyW(virtual_key, MAPVK_VK_TO_VSC);
  LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16) | (system_key ? (1 << 29) : 0);
  LPARAM up = down | (1u << 30) | (1u << 31);
  PostMessageW(window, system_key ? WM_SYSKEYDOWN : WM_KEYDOWN, virtual_key, down);
  PostMessageW(window, system_key ? WM_SYSKEYUP : WM_KEYUP, virtual_key, up);
}

}  // namespace quorvane::e2e
