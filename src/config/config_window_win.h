// The settings dialog, frmConfig: loading it shows the dialog and returns; the dialog then runs
// on the message loop until it ends the process.
#pragma once

namespace quorvane::config {

void LoadConfigWindow();

}  // namespace quorvane::config
