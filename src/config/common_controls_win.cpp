#include "config/common_controls_win.h"

#include <optional>

#include "win/system_library_win.h"

namespace quorvane::config {

namespace {

std::optional<CommonControls> Load() {
  CommonControls controls{};
  // By its name alone, so that the manifest's activation context hands over version 6; the
  // search, restricted at the start, looks nowhere but in the system folder after that.
  bool found = win::DllFunctions(LoadLibraryW(L"comctl32.dll"),
                                 win::Wanted{&controls.init, "InitCommonControlsEx"},
                                 win::Wanted{&controls.set_subclass, "SetWindowSubclass"},
                                 win::Wanted{&controls.def_subclass, "DefSubclassProc"},
                                 win::Wanted{&controls.remove_subclass, "RemoveWindowSubclass"});
  return found ? std::optional<CommonControls>(controls) : std::nullopt;
}

}  // namespace

const CommonControls* LoadCommonControls() {
  // Kept loaded for the life of the process, as an import would be.
  static const std::optional<CommonControls> controls = Load();
  return controls ? &*controls : nullptr;
}

}  // namespace quorvane::config
