// The settings dialog's controls as the standard Win32 controls of their kinds: which window
// class, which styles, and how high the window of a drop-down list is; the rest of a control's
// styles and its design-time state come from its row of the layout table.
#pragma once

#include <windows.h>

#include "config/layout.h"

namespace quorvane::config {

// Creates the control as a child of the dialog at its place (pixels), in its design-time state;
// the preview is not made here (it is the playback component).
HWND CreateControl(HWND dialog, const ControlLayout& control, const PixelRect& place);

// The height of the control's window: its place's, but a drop-down list's window reaches down
// by its dropped list as well.
int WindowHeight(const ControlLayout& control, const PixelRect& place);

}  // namespace quorvane::config
