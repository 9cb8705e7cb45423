// The Win32 settings store: "Quorvane.ini" in a folder, read and replaced whole.
#pragma once

#include <memory>
#include <string>

#include "settings/settings_store.h"

namespace quorvane::settings {

// The store the saver and the dialog use: the file beside the program.
std::unique_ptr<SettingsStore> CreateProgramSettingsStore();

// A store for "Quorvane.ini" in this folder (UTF-8 path).
std::unique_ptr<SettingsStore> CreateSettingsStoreIn(const std::string& folder);

// The folder the running program was started from (UTF-8, no closing backslash).
std::string ProgramFolder();

}  // namespace quorvane::settings
