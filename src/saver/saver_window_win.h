// The saver window, frmMain: loading it runs the whole saver and ends the process.
#pragma once

namespace quorvane::saver {

// Shows the black full-screen window and runs until an input ends it. Never returns.
[[noreturn]] void LoadSaverWindow();

}  // namespace quorvane::saver
