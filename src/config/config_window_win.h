// The settings dialog, frmConfig: loading it creates the window with every control in its
// design-time state and runs Form_Load; the dialog then runs on the message loop until it ends
// the process. The dialog is created once per process and lives until the process ends.
#pragma once

#include <windows.h>

namespace quorvane::config {

void LoadConfigWindow();

// For the message loop: the dialog's keyboard handling (Tab in the dialog's tab order, Enter,
// the arrow keys in option groups). True when the message was used up and must not be
// dispatched; false for every message while no dialog is loaded.
bool IsConfigDialogMessage(MSG& msg);

}  // namespace quorvane::config
