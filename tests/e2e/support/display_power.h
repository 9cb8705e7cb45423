// The display's power as Windows tells a window of it, delivered by a test or a measurement to a
// saver window of its own process (Wine sends none): WM_POWERBROADCAST with the setting
// GUID_CONSOLE_DISPLAY_STATE, which the saver asks Windows for.
#pragma once

#include <windows.h>

namespace quorvane::e2e {

enum DisplayState : DWORD { kDisplayOff = 0, kDisplayOn = 1, kDisplayDimmed = 2 };

// Sends it to the window and returns once the window has handled it.
void TellDisplayState(HWND window, DisplayState state);

}  // namespace quorvane::e2e
