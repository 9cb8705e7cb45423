// The settings dialog's layout: every control with its kind, parent frame, place and size in
// twips and its caption, in tab order, and the rules that turn it into pixels at a DPI: where
// each control goes and how much room it leaves for its caption. Constant data, pure functions.
#pragma once

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
  Kind kind;
  int parent;                    // the frame's id, or 0 for the dialog itself
  const char* caption;           // UTF-8
  int left, top, width, height;  // twips, from the parent's top-left corner
};

// A rectangle in pixels, right and bottom excluded.
struct PixelRect {
  int left, top, right, bottom;
};

inline constexpr int kClientWidthTwips = 9375;
inline constexpr int kClientHeightTwips = 4530;

// All 28 controls, in tab order (the element's position is its TabIndex).
extern const std::array<ControlLayout, 28> kLayout;

// The control of this id: nullptr, or an exception, when the dialog has none.
const ControlLayout* FindLayout(int id);
const ControlLayout& LayoutOf(int id);

// 15 twips a pixel at 96 DPI, rounded to the nearest pixel.
int TwipsToPixels(int twips, int dpi);

// The control's rectangle in the dialog's client area, in pixels.
PixelRect PlaceOf(const ControlLayout& control, int dpi);

// The width in pixels a control leaves for its caption: its own width less what it draws
// beside the text (an option button's circle and the gap after it, a push button's edges and
// focus margin, a frame's indent on both sides).
int CaptionRoom(const ControlLayout& control, int dpi);

}  // namespace quorvane::config
