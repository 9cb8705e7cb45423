// The settings dialog as the user sees it, one row a control in tab order: what the control is,
// its caption, its place and size in pixels at 96 DPI, and the colour its caption is drawn in.
// The one copy of the design the tests keep (the table is in layout_test.cpp); the real dialog
// must have exactly these controls.
#pragma once

#include <windows.h>

#include <span>

namespace quorvane::e2e {

// What a control is to the user, as its window class and style show it.
enum class Shown { kPushButton, kFrame, kOption, kTextBox, kLabel, kDropDown, kList, kPreview };

struct Expected {
  int id;
  Shown shown;
  const wchar_t* caption;              // nullptr: not checked (the drive list shows the drive)
  int left, top, width, height;        // pixels in the dialog's client area, frame offsets added
  int caption_colour = COLOR_BTNTEXT;  // the system colour of its caption, where it has one
};

extern const std::span<const Expected> kExpected;

}  // namespace quorvane::e2e
