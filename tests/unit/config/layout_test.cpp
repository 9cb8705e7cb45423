// The rules the layout table keeps, whatever its rows: ids, handlers, option arrays, keyboard
// flags and stacking; and the conversions from twips to pixels. Where each control is and what
// it says is checked once, on the real dialog (tests/e2e/config/layout_test.cpp).
#include "config/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace quorvane::config {
namespace {

// The first buttons of the option arrays.
std::vector<const ControlLayout*> ArrayStarts() {
  std::vector<const ControlLayout*> starts;
  for (const ControlLayout& row : kLayout) {
    if (FactsOf(row.kind).array && !IsLaterButton(row)) starts.push_back(&row);
  }
  return starts;
}

TEST(Layout, FindsEveryControlByAnIdOfItsOwn) {
  for (const ControlLayout& row : kLayout) {
    EXPECT_EQ(FindLayout(row.id), &row) << row.id;
    EXPECT_GT(row.id, 2) << "IDOK or IDCANCEL";
  }
  EXPECT_EQ(FindLayout(0), nullptr);
  EXPECT_THROW(LayoutOf(0), std::out_of_range);
}

TEST(Layout, AControlHasAHandlerExactlyWhenItsKindReportsAnEvent) {
  for (const ControlLayout& row : kLayout) {
    EXPECT_EQ(row.handler != nullptr, FactsOf(row.kind).event != Event::kNone) << row.id;
  }
}

// An array's buttons are the rows of the ids from its first on, in its first's frame, one of
// them selected at design time. Tab stops at the first, and only the first starts a group.
TEST(Layout, EachOptionArrayIsARunOfIdsInOneFrameWithOneButtonSelected) {
  ASSERT_FALSE(ArrayStarts().empty());
  size_t buttons = 0;
  for (const ControlLayout* first : ArrayStarts()) {
    SCOPED_TRACE(first->id);
    int count = OptionCount(first->id);
    EXPECT_EQ(FlagsOf(*first) & (kTabStop | kGroup), kTabStop | kGroup);
    int selected = 0;
    for (int i = 0; i < count; ++i) {
      const ControlLayout& button = LayoutOf(first->id + i);
      EXPECT_EQ(button.kind, first->kind);
      EXPECT_EQ(button.parent, first->parent);
      EXPECT_EQ(IsLaterButton(button), i > 0);
      if (i > 0) {
        EXPECT_EQ(FlagsOf(button) & (kTabStop | kGroup), 0u);
      }
      selected += (button.flags & kSelected) != 0;
    }
    EXPECT_EQ(selected, 1);
    EXPECT_EQ(OptionCount(first->id + 1), count - 1) << "counted from the second button";
    buttons += static_cast<size_t>(count);
  }
  // Every button is in an array so counted; no other control is an array or selected.
  size_t in_arrays = 0;
  for (const ControlLayout& row : kLayout) {
    in_arrays += FactsOf(row.kind).array;
    if (!FactsOf(row.kind).array) {
      EXPECT_EQ(OptionCount(row.id), 0) << row.id;
      EXPECT_EQ(row.flags & kSelected, 0u) << row.id;
    }
  }
  EXPECT_EQ(buttons, in_arrays);
}

TEST(Layout, EveryOtherControlStartsAGroupAndIsATabStopWhenItsKindTakesTab) {
  for (const ControlLayout& row : kLayout) {
    if (FactsOf(row.kind).array) continue;  // above
    EXPECT_TRUE(FlagsOf(row) & kGroup) << row.id;
    EXPECT_EQ((FlagsOf(row) & kTabStop) != 0, FactsOf(row.kind).takes_tab) << row.id;
  }
}

bool Overlap(const PixelRect& a, const PixelRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST(Layout, StackingKeepsFramesUnderTheirControlsOverlaysOverWhatTheyCoverAndArraysOneGroup) {
  std::vector<const ControlLayout*> stack = StackingOrder();
  ASSERT_EQ(stack.size(), kLayout.size());
  auto depth = [&stack](const ControlLayout& control) {
    return static_cast<size_t>(std::ranges::find(stack, &control) - stack.begin());
  };
  for (const ControlLayout& row : kLayout) {
    SCOPED_TRACE(row.id);
    EXPECT_LT(depth(row), stack.size()) << "not stacked";
    if (row.parent != 0) {
      EXPECT_LT(depth(row), depth(LayoutOf(row.parent))) << "under its frame";
    }
    if (LayerOf(row) != Layer::kOverlay) continue;
    for (const ControlLayout& covered : kLayout) {
      if (&covered == &row || !Overlap(PlaceOf(row, 96), PlaceOf(covered, 96))) continue;
      if (covered.id == row.parent) continue;
      EXPECT_LT(depth(row), depth(covered)) << "under " << covered.id;
    }
  }
  // The arrow keys move from a group's first control down the stack to the next that starts a
  // group: each array is one such run, its buttons in the order of their ids.
  for (const ControlLayout* first : ArrayStarts()) {
    SCOPED_TRACE(first->id);
    int count = OptionCount(first->id);
    size_t top = depth(*first);
    for (int i = 1; i < count; ++i) {
      EXPECT_EQ(stack[top + static_cast<size_t>(i)]->id, first->id + i);
    }
    size_t after = top + static_cast<size_t>(count);
    if (after < stack.size()) {
      EXPECT_TRUE(FlagsOf(*stack[after]) & kGroup) << "the array runs on into the next control";
    }
  }
}

TEST(Layout, TwipsBecomePixelsRoundedAtEachDpi) {
  struct Case {
    int twips, dpi, pixels;
  } cases[] = {{1440, 96, 96},   {15, 96, 1},      {7, 96, 0},     {8, 96, 1}, {9375, 96, 625},
               {9375, 120, 781}, {9375, 144, 938}, {255, 120, 21}, {0, 144, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
  }
}

TEST(Layout, PlacesAControlFromTheCornerOfItsFrameOrOfTheDialog) {
  ControlLayout on_dialog{.id = 1, .kind = Kind::kPushButton, .place = {6960, 4080, 1935, 375}};
  PixelRect place = PlaceOf(on_dialog, 96);
  EXPECT_EQ(place.left, 464);
  EXPECT_EQ(place.top, 272);
  EXPECT_EQ(place.right, 593);
  EXPECT_EQ(place.bottom, 297);
  EXPECT_EQ(PlaceOf(on_dialog, 144).right, 890) << "889.5 rounds up";
  // Inside a frame the twips are added to the frame's before they are rounded.
  for (const ControlLayout& frame : kLayout) {
    if (frame.kind != Kind::kFrame) continue;
    SCOPED_TRACE(frame.id);
    ControlLayout inside{.id = 1, .kind = Kind::kLabel, .parent = frame.id, .place = {8, 7, 0, 0}};
    EXPECT_EQ(PlaceOf(inside, 96).left, TwipsToPixels(frame.place.left + 8, 96));
    EXPECT_EQ(PlaceOf(inside, 96).top, TwipsToPixels(frame.place.top + 7, 96));
  }
}

// What a kind draws beside a caption is scaled to the DPI on each side on its own.
TEST(Layout, CaptionsHaveTheirControlsWidthLessWhatTheKindDrawsBesideThem) {
  auto room = [](Kind kind, int width, int dpi) {
    return CaptionRoom(ControlLayout{.id = 1, .kind = kind, .place = {0, 0, width, 255}}, dpi);
  };
  EXPECT_EQ(room(Kind::kOption, 1935, 96), 129 - 18);  // the circle and the gap after it
  EXPECT_EQ(room(Kind::kOption, 1935, 144), 194 - 27);
  EXPECT_EQ(room(Kind::kPushButton, 2175, 96), 145 - 2 * 5);
  EXPECT_EQ(room(Kind::kPushButton, 2175, 120), 181 - 2 * 6);
  EXPECT_EQ(room(Kind::kFrame, 2295, 120), 191 - 2 * 10);
  EXPECT_EQ(room(Kind::kListBox, 6495, 96), 433);
}

}  // namespace
}  // namespace quorvane::config
