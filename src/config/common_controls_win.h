// Windows' Common Controls 6 (comctl32.dll, the side-by-side assembly the manifest names), which
// only the dialog uses, loaded when the dialog is made instead of imported. Imported, it would
// be loaded and started before the program's first instruction, and what its start loads by
// name in turn (its themes) would still be looked for in the folder the .scr was started from.
#pragma once

#include <windows.h>
// commctrl.h needs windows.h first.
#include <commctrl.h>

namespace quorvane::config {

struct CommonControls {
  decltype(&::InitCommonControlsEx) init;
  decltype(&::SetWindowSubclass) set_subclass;
  decltype(&::DefSubclassProc) def_subclass;
  decltype(&::RemoveWindowSubclass) remove_subclass;
};

// The functions, or nullptr when comctl32 or one of them is missing (the dialog's frames then
// draw their captions as Windows does). Loaded once, on the dialog's thread.
const CommonControls* LoadCommonControls();

}  // namespace quorvane::config
