#include "settings/settings_location.h"

namespace quorvane::settings {

SettingsLocation ChooseSettingsLocation(std::string_view program_folder,
                                        std::string_view user_folder,
                                        bool program_folder_writable) {
  if (program_folder_writable || user_folder.empty()) {
    return SettingsLocation{std::string(program_folder), std::nullopt};
  }
  // A file an administrator put beside the program still counts until the user saves their own.
  return SettingsLocation{std::string(user_folder), std::string(program_folder)};
}

}  // namespace quorvane::settings
