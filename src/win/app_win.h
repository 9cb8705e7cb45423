// Process-wide facts of the running program that the Win32 windows share.
#pragma once

#include <windows.h>

namespace quorvane::win {

// The application's title: the default title of its message boxes.
inline constexpr wchar_t kAppTitle[] = L"Quorvane";

HINSTANCE AppInstance();

// Ends the process at once; nothing after it runs.
[[noreturn]] void EndProcess();

}  // namespace quorvane::win
