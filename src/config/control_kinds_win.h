// The settings dialog's kinds of control as standard Win32 controls, one row each: the window
// class and styles a control is made with, the notification by which it reports its kind's
// event, what Enter and Tab do with it, how its window is fitted to its place and font, the
// wrapper that keeps its state, and what the kind's own drawing and events need of it. The
// dialog's making, layout and input read a control's kind here and in control_kinds.h, nowhere
// else; the rest of a control's styles and its design-time state come from its row of the layout
// table.
#pragma once

#include <windows.h>

#include <memory>

#include "config/controls.h"
#include "config/layout.h"

namespace quorvane::config {

// What Enter does while a control of the kind has the focus.
enum class EnterKey {
  kNothing,
  kPress,  // presses the push button, as a click does
  kRaise,  // raises the control's event (a directory list opens the selected folder)
};

// The notification code of a kind that reports no event.
inline constexpr int kNoNotification = -1;

struct KindWin {
  Kind kind;
  const wchar_t* window_class;  // nullptr: the preview, which the playback component makes
  DWORD style = 0;
  DWORD ex_style = 0;
  // The notification code (of WM_COMMAND) by which the control reports its kind's event.
  int notification = kNoNotification;
  EnterKey enter = EnterKey::kNothing;
  bool tab_selects_text = false;  // Tab selects the whole text
  // The window's height in heights of its place: a drop-down list's window reaches down by
  // its dropped list as well.
  int window_heights = 1;
  // Fits the window to its place and font once the font is handed to it, or nullptr.
  void (*fit)(HWND window, HFONT font, const PixelRect& place, int dpi) = nullptr;
  // Wraps the dialog's control of this id (an option array's first button) in what keeps its
  // state, or nullptr for a kind that keeps none.
  std::unique_ptr<Control> (*state)(HWND dialog, int id) = nullptr;
  // Whether the notification raises the event now, asked of the control's state; nullptr: it
  // always does.
  bool (*raises)(Control& state) = nullptr;
  // Draws an entry of an owner-drawn control, or nullptr.
  void (*draw)(const Control& state, const DRAWITEMSTRUCT& item, int dpi) = nullptr;
};

const KindWin& KindOf(const ControlLayout& control);

// Creates the control as a child of the dialog at its place (pixels), in its design-time state;
// the preview is not made here (it is the playback component).
HWND CreateControl(HWND dialog, const ControlLayout& control, const PixelRect& place);

// The height of the control's window at its place.
int WindowHeight(const ControlLayout& control, const PixelRect& place);

// The state of the dialog's control as its kind keeps it, or nullptr (ControlStates' maker).
std::unique_ptr<Control> StateOf(HWND dialog, const ControlLayout& control);

}  // namespace quorvane::config
