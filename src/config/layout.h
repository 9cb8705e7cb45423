// The settings dialog's controls, one row each, in tab order: kind, parent frame, caption, place
// and size in twips, design-time state, tool tip and the handler of its kind's event; stacking,
// font and colours where they are not its kind's. The window makes, places, stacks, dresses and
// routes every control from its row and its kind alone. Also the rules that turn twips into
// pixels at a DPI: where each control goes and how much room it leaves for its caption. Constant
// data, pure functions.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "config/control_kinds.h"

namespace quorvane::config {

class FrmConfig;

// Design-time state, and the keyboard flags that follow from the kind and the option arrays.
enum Flags : unsigned {
  kTabStop = 1,   // Tab stops here (of an option array, at its first button)
  kGroup = 2,     // starts a group: the arrow keys move only up to the next one
  kSelected = 4,  // an option button selected at design time
  kDisabled = 8,  // drawn greyed, takes neither clicks nor keys
};

// A place and size in twips, from the parent's top-left corner.
struct Twips {
  int left, top, width, height;
};

// One control. A row names its fields; those left out take the defaults below: a control on the
// dialog itself, in its kind's layer, font and colours, with neither tool tip nor handler.
struct ControlLayout {
  int id;
  Kind kind;
  int parent = 0;            // the frame's id, or 0 for the dialog itself
  const char* caption = "";  // UTF-8
  Twips place;
  std::optional<Layer> layer = std::nullopt;
  unsigned flags = 0;  // kSelected, kDisabled
  std::optional<FontRole> font = std::nullopt;
  std::optional<ColourRole> colour = std::nullopt;
  const char* tip = nullptr;               // the tool tip, UTF-8
  void (FrmConfig::*handler)() = nullptr;  // the handler of its kind's event
};

Layer LayerOf(const ControlLayout& control);
FontRole FontOf(const ControlLayout& control);
ColourRole ColourOf(const ControlLayout& control);

// The row's flags with the keyboard's: every control but the later buttons of an option array
// starts a group, so that the arrow keys move only within an array; a control whose kind takes
// the Tab key is a tab stop, an array at its first button.
unsigned FlagsOf(const ControlLayout& control);

// Whether the control is a button of an option array after its first.
bool IsLaterButton(const ControlLayout& control);

// The controls from the top of the stack down.
std::vector<const ControlLayout*> StackingOrder();

// A rectangle in pixels, right and bottom excluded.
struct PixelRect {
  int left, top, right, bottom;
};

inline constexpr int kClientWidthTwips = 9375;
inline constexpr int kClientHeightTwips = 4530;

// Every control, in tab order (the row's position is its TabIndex).
extern const std::span<const ControlLayout> kLayout;

// The control of this id: nullptr, or an exception, when the dialog has none.
const ControlLayout* FindLayout(int id);
const ControlLayout& LayoutOf(int id);

// The number of buttons of the option array whose first button has this id: its buttons are
// the option buttons of the ids from it on, one after another.
int OptionCount(int first);

// 15 twips a pixel at 96 DPI, rounded to the nearest pixel.
int TwipsToPixels(int twips, int dpi);

// The control's rectangle in the dialog's client area, in pixels.
PixelRect PlaceOf(const ControlLayout& control, int dpi);

// The width in pixels a control leaves for its caption: its own width less what its kind draws
// beside the text.
int CaptionRoom(const ControlLayout& control, int dpi);

}  // namespace quorvane::config
