// The Win32 settings store: "Quorvane.ini" in a folder, read and replaced whole.
#pragma once

#include <memory>
#include <string>

#include "settings/settings_location.h"
#include "settings/settings_store.h"

namespace quorvane::settings {

// The store the saver and the dialog use: the file beside the program, or in the user's
// application-data folder when the program's folder cannot be written.
std::unique_ptr<SettingsStore> CreateProgramSettingsStore();

// A store for a chosen location: its own folder, read and written (and created when first
// written), and the folder read while that has no file yet; its current folder is made current
// before every read and write.
std::unique_ptr<SettingsStore> CreateLocatedSettingsStore(const SettingsLocation& place);

// A store for "Quorvane.ini" in this folder (UTF-8 path), which it also makes current.
std::unique_ptr<SettingsStore> CreateSettingsStoreIn(const std::string& folder);

// The folder the running program was started from (UTF-8, no closing backslash).
std::string ProgramFolder();

}  // namespace quorvane::settings
