#include "settings/settings_location.h"

namespace quorvane::settings {

SettingsLocation ChooseSettingsLocation(std::string_view program_folder,
                                        std::string_view user_folder,
                                        bool program_folder_writable) {
  std::string program(program_folder);
  if (program_folder_writable || user_folder.empty()) {
    return SettingsLocation{program, std::nullopt, program};
  }
  // A file an administrator put beside the program still counts until the user saves their own.
  return SettingsLocation{std::string(user_folder), program, program};
}

}  // namespace quorvane::settings
