// Which folder holds "Quorvane.ini": beside the program when that folder can be written (a
// portable install, or an older install's file), otherwise the user's own application-data
// folder, since the Windows folder, the usual place of a .scr, is closed to ordinary users.
// Wherever the file is, the program's folder is the one made current before it is read or
// written: a relative playlist entry names a clip beside the program in either case.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvane::settings {

struct SettingsLocation {
  std::string folder;                    // read and written
  std::optional<std::string> read_also;  // read when folder has no file yet
  std::string current;                   // made current before each read and write
};

// user_folder is the per-user place ("%APPDATA%\Quorvane"), empty when there is none.
SettingsLocation ChooseSettingsLocation(std::string_view program_folder,
                                        std::string_view user_folder, bool program_folder_writable);

}  // namespace quorvane::settings
