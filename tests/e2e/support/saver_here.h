// The real saver's window and player run in this process (saver::LoadSaverWindow on a thread of
// its own), for a test or a measurement that delivers to it what only its own process can (the
// display's power). Loading it reads the settings beside this program; its end ends the process.
#pragma once

#include <windows.h>

#include <string>

namespace quorvane::e2e {

struct SaverHere {
  HWND window = nullptr;
  HWND component = nullptr;
};

// Writes the settings beside this program and starts the saver here; false when its window does
// not show a clip within 15 s.
bool StartSaverHere(const std::string& settings, SaverHere& saver);

}  // namespace quorvane::e2e
