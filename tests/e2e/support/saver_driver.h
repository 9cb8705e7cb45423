// Running the real saver from a scratch program folder with a settings file, and finding its
// window and its playback component.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/support.h"

namespace quorvane::e2e {

// A settings file: the option lines as given, then one playlist line per clip of the generated
// clips' folder (or a full path, when the name has one).
std::string SaverSettings(const std::vector<std::string>& options,
                          const std::vector<std::wstring>& clips);

struct Saver {
  explicit Saver(const std::string& settings, std::wstring_view arguments = L"/s");
  // The component's rectangle once it shows a clip.
  std::optional<RECT> PlacedRect() const;
  // True once the component has been handed this clip.
  bool Started(const std::wstring& clip) const;
  // Sends a key and waits for the end; the milliseconds it took, or nothing when it went on.
  std::optional<double> EndWithKey() const;

  ProgramFolder folder{L"quorvane-saver"};
  std::unique_ptr<Process> process;
  HWND window = nullptr;
  HWND component = nullptr;
};

}  // namespace quorvane::e2e
