// The dialog's frames: standard group boxes (screen readers see them as groups) that paint
// their own etched border and caption, so that the caption shows in the system's highlight
// colour whatever visual style draws the other controls. The frame windows belong to the dialog.
#pragma once

#include <windows.h>

namespace quorvane::config {

// Makes this group box paint itself from now on, in its own font (WM_SETFONT).
void PaintFrameCaptionInHighlight(HWND group_box);

}  // namespace quorvane::config
