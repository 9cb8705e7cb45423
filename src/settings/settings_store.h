// Where the settings file lives and how its bytes get to and from disk. The portable code sees
// only UTF-8 text; the Win32 store converts from and to the system's ANSI code page.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvane::settings {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // The file's whole text as UTF-8, or nothing when there is no settings file (or it is
  // hidden or a system file). Never fails: unreadable bytes read as what they decode to.
  virtual std::optional<std::string> Load() = 0;

  // Replaces the file with this text in one step: the old file stays whole when writing
  // fails. Returns an empty text on success, otherwise the reason, for a message box.
  virtual std::string Replace(std::string_view text) = 0;

  // Where the file is (or would be written), for messages.
  virtual std::string Location() const = 0;
};

}  // namespace quorvane::settings
