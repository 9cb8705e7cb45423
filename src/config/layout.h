// The settings dialog's layout: every control with its kind, parent frame, place and size in
// twips, caption and tab index, and the conversion of twips to pixels at a DPI. Constant data.
#pragma once

#include <windows.h>

#include <array>

namespace quorvane::config {

enum class Kind {
  kFrame,
  kPushButton,
  kOption,
  kTextBox,
  kLabel,
  kDriveList,
  kDirList,
  kFileList,
  kListBox,
  kPreview,
};

struct ControlLayout {
  int id;
  const char* name;
  Kind kind;
  int parent;  // the frame's id, or 0 for the dialog itself
  const wchar_t* caption;
  int left, top, width, height;  // twips, from the parent's top-left corner
  int tab_index;
};

inline constexpr int kClientWidthTwips = 9375;
inline constexpr int kClientHeightTwips = 4530;

// All 28 controls, in tab order (the element's position is its TabIndex).
extern const std::array<ControlLayout, 28> kLayout;

// The control of this id: nullptr, or an exception, when the dialog has none.
const ControlLayout* FindLayout(int id);
const ControlLayout& LayoutOf(int id);

// 15 twips a pixel at 96 DPI.
int TwipsToPixels(int twips, int dpi);

// The control's rectangle in the dialog's client area, in pixels.
RECT PlaceOf(const ControlLayout& control, int dpi);

}  // namespace quorvane::config
