// The settings dialog's kinds of control and what each kind is, whatever system draws it: one
// row a kind. Where the Tab key stops, whether controls of consecutive ids make one option
// array, the event the kind reports, what it draws beside its caption, and the stacking layer,
// font and colours its controls take unless their rows say otherwise. The layout, the tab order
// and the caption fit read a control's kind here and nowhere else; what a kind is on Windows is
// control_kinds_win.h. Constant data.
#pragma once

#include <cstddef>

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

// Stacking, top first; within a layer the control earlier in the tab order lies above. The
// overlay lies over part of another control (txtSizeFree over the blanks of optSizeSel(4)'s
// caption); the frames lie under everything they hold. An option array stays one run, as the
// arrow keys move down the stack.
enum class Layer { kOverlay, kInput, kPreview, kLabel, kFrame };

// Which of the dialog's fonts draws the control's text; the preview draws none.
enum class FontRole { kNone, kControls, kFrame, kHeading, kTitle };

// The control's own colours: the system's by default; a frame's caption in the highlight colour;
// the heading bar's highlighted text on grey text's colour; the title bar's caption text on red.
enum class ColourRole { kDefault, kFrameCaption, kHeadingBar, kTitleBar };

enum class Event { kNone, kClick, kDblClick, kChange };

struct KindFacts {
  Kind kind;
  bool takes_tab = false;  // Tab stops at its controls (of an option array, at the selected one)
  // Its controls of consecutive ids in one frame make one option array: exactly one of them
  // selected, the arrow keys moving within it. The array keeps its state, takes the Tab key and
  // starts its group at its first button.
  bool array = false;
  // The one event its controls report, which a row's handler handles. A directory list changes
  // when a folder of it is opened (a double click or Enter), not when one is only selected.
  Event event = Event::kNone;
  // What the control draws beside its caption: so many pixels (at 96 DPI) on so many sides.
  int caption_margin = 0;
  int caption_sides = 0;
  Layer layer = Layer::kInput;
  FontRole font = FontRole::kControls;
  ColourRole colour = ColourRole::kDefault;
};

// In the order of Kind. A label's font and colours are its row's.
inline constexpr KindFacts kKindFacts[] = {
    // The caption's indent, and as much on the right.
    {.kind = Kind::kFrame,
     .caption_margin = 8,
     .caption_sides = 2,
     .layer = Layer::kFrame,
     .font = FontRole::kFrame,
     .colour = ColourRole::kFrameCaption},
    // The edges and the focus rectangle's margin.
    {.kind = Kind::kPushButton,
     .takes_tab = true,
     .event = Event::kClick,
     .caption_margin = 2 + 3,
     .caption_sides = 2},
    // The circle, the gap after it, a pixel to spare.
    {.kind = Kind::kOption,
     .takes_tab = true,
     .array = true,
     .caption_margin = 13 + 4 + 1,
     .caption_sides = 1},
    {.kind = Kind::kTextBox, .takes_tab = true},
    {.kind = Kind::kLabel, .caption_margin = 2, .caption_sides = 2, .layer = Layer::kLabel},
    {.kind = Kind::kDriveList, .takes_tab = true, .event = Event::kChange},
    {.kind = Kind::kDirList, .takes_tab = true, .event = Event::kChange},
    {.kind = Kind::kFileList, .takes_tab = true, .event = Event::kDblClick},
    {.kind = Kind::kListBox, .takes_tab = true, .event = Event::kDblClick},
    // The playback component's own window: only its place and stacking come from the layout.
    {.kind = Kind::kPreview, .layer = Layer::kPreview, .font = FontRole::kNone},
};

constexpr const KindFacts& FactsOf(Kind kind) { return kKindFacts[static_cast<size_t>(kind)]; }

// Whether a table of kinds has one row a kind, in the order of Kind.
template <typename Row, size_t count>
constexpr bool InTheOrderOfKind(const Row (&rows)[count]) {
  for (size_t i = 0; i < count; ++i) {
    if (rows[i].kind != static_cast<Kind>(i)) return false;
  }
  return count == static_cast<size_t>(Kind::kPreview) + 1;
}
static_assert(InTheOrderOfKind(kKindFacts), "a kind without its row, or out of order");

}  // namespace quorvane::config
