#include "config/common_controls_win.h"

#include <optional>

#include "win/system_library_win.h"

namespace quorvane::config {

namespace {

std::optional<CommonControls> Load() {
  // By its name alone, so that the manifest's activation context hands over version 6; the
  // search, restricted at the start, looks nowhere but in the system folder after that.
  HMODULE comctl32 = LoadLibraryW(L"comctl32.dll");
  if (!comctl32) return std::nullopt;
  CommonControls controls{
      win::DllFunction<decltype(CommonControls::init)>(comctl32, "InitCommonControlsEx"),
      win::DllFunction<decltype(CommonControls::set_subclass)>(comctl32, "SetWindowSubclass"),
      win::DllFunction<decltype(CommonControls::def_subclass)>(comctl32, "DefSubclassProc"),
      win::DllFunction<decltype(CommonControls::remove_subclass)>(comctl32, "RemoveWindowSubclass"),
  };
  bool complete =
      controls.init && controls.set_subclass && controls.def_subclass && controls.remove_subclass;
  return complete ? std::optional<CommonControls>(controls) : std::nullopt;
}

}  // namespace

const CommonControls* LoadCommonControls() {
  // Kept loaded for the life of the process, as an import would be.
  static const std::optional<CommonControls> controls = Load();
  return controls ? &*controls : nullptr;
}

}  // namespace quorvane::config
