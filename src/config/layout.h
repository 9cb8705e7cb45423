// The settings dialog's controls, one row each, in tab order: kind, parent frame, caption, place
// and size in twips, stacking, keyboard flags and design-time state, font, colours, tool tip and
// the handler of its event. The window makes, places, stacks, dresses and routes every control
// from its row alone. Also the rules that turn twips into pixels at a DPI: where each control
// goes and how much room it leaves for its caption. Constant data, pure functions.
#pragma once

#include <span>
#include <vector>

namespace quorvane::config {

class FrmConfig;

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

// Stacking, top first; within a layer the control earlier in the tab order lies above. The
// overlay lies over part of another control (txtSizeFree over the blanks of optSizeSel(4)'s
// caption); the frames lie under everything they hold. An option array stays one run, as the
// arrow keys move down the stack.
enum class Layer { kOverlay, kInput, kPreview, kLabel, kFrame };

// Keyboard flags and design-time state, or-ed together.
enum Flags : unsigned {
  kTabStop = 1,   // Tab stops here (of an option array, at its first button)
  kGroup = 2,     // starts a group: the arrow keys move only up to the next one
  kSelected = 4,  // an option button selected at design time
  kDisabled = 8,  // drawn greyed, takes neither clicks nor keys
};

// Which of the dialog's fonts draws the control's text; the preview draws none.
enum class FontRole { kNone, kControls, kFrame, kHeading, kTitle };

// The control's own colours: the system's by default; a frame's caption in the highlight colour;
// the heading bar's highlighted text on grey text's colour; the title bar's caption text on red.
enum class ColourRole { kDefault, kFrameCaption, kHeadingBar, kTitleBar };

// The one event of a control that has a handler. A directory list changes when a folder of it
// is opened (a double click or Enter), not when one is only selected.
enum class Event { kNone, kClick, kDblClick, kChange };

// A place and size in twips, from the parent's top-left corner.
struct Twips {
  int left, top, width, height;
};

// One control. A row names its fields; those left out take the defaults below, which are a
// control of the input layer on the dialog itself, drawn in the controls' font and the
// system's colours, with neither tool tip nor handler.
struct ControlLayout {
  int id;
  Kind kind;
  int parent = 0;            // the frame's id, or 0 for the dialog itself
  const char* caption = "";  // UTF-8
  Twips place;
  Layer layer = Layer::kInput;
  unsigned flags = 0;  // Flags
  FontRole font = FontRole::kControls;
  ColourRole colour = ColourRole::kDefault;
  const char* tip = nullptr;  // the tool tip, UTF-8
  Event event = Event::kNone;
  void (FrmConfig::*handler)() = nullptr;  // the event's handler
};

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

// The width in pixels a control leaves for its caption: its own width less what it draws
// beside the text (an option button's circle and the gap after it, a push button's edges and
// focus margin, a frame's indent on both sides).
int CaptionRoom(const ControlLayout& control, int dpi);

}  // namespace quorvane::config
