#include "config/layout.h"

#include <gtest/gtest.h>

#include "config/control_ids.h"

namespace quorvane::config {
namespace {

TEST(Layout, TwipsBecomePixelsRoundedAtEachDpi) {
  struct Case {
    int twips, dpi, pixels;
  } cases[] = {{1440, 96, 96},   {15, 96, 1},      {7, 96, 0},     {8, 96, 1}, {9375, 96, 625},
               {9375, 120, 781}, {9375, 144, 938}, {255, 120, 21}, {0, 144, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
  }
}

TEST(Layout, PlacesControlsInTheirFramesAndInTabOrder) {
  // cmdOk lies on the dialog; optSizeSel(4) in fraSizeSel, from the frame's corner.
  PixelRect ok = PlaceOf(LayoutOf(kIdCmdOk), 96);
  EXPECT_EQ(ok.left, 464);
  EXPECT_EQ(ok.top, 272);
  EXPECT_EQ(ok.right, 537);
  EXPECT_EQ(ok.bottom, 297);
  PixelRect free = PlaceOf(LayoutOf(kIdOptSizeSel0 + 4), 144);
  EXPECT_EQ(free.left, (6960 + 120) / 10);
  EXPECT_EQ(free.top, (120 + 1320) / 10);
  EXPECT_EQ(free.right - free.left, 1935 / 10 + 1);  // 193.5 rounds up
  // The table is in tab order: OK first, the title line last, every control once.
  EXPECT_EQ(kLayout.front().id, kIdCmdOk);
  EXPECT_EQ(kLayout[8].id, kIdTxtSizeFree);
  EXPECT_EQ(kLayout.back().id, kIdLblTitle);
  for (const ControlLayout& control : kLayout) EXPECT_EQ(FindLayout(control.id), &control);
  EXPECT_EQ(FindLayout(9999), nullptr);
  EXPECT_THROW(LayoutOf(9999), std::out_of_range);
}

TEST(Layout, CaptionsHaveTheirControlsWidthLessWhatTheControlDrawsBesideThem) {
  // At 96 DPI optSizeSel(4) is 129 pixels wide: 18 go to the circle and the gap after it.
  EXPECT_EQ(CaptionRoom(LayoutOf(kIdOptSizeSel0 + 4), 96), 129 - 18);
  EXPECT_EQ(CaptionRoom(LayoutOf(kIdOptSizeSel0 + 4), 144), 194 - 27);
  EXPECT_EQ(CaptionRoom(LayoutOf(kIdCmdAdd), 96), 145 - 10);
  EXPECT_EQ(CaptionRoom(LayoutOf(kIdLblTitle), 96), 273 - 4);
  EXPECT_EQ(CaptionRoom(LayoutOf(kIdFraSizeSel), 120), 191 - 20);
  EXPECT_EQ(CaptionRoom(LayoutOf(kIdLstPlay), 96), 433);
}

}  // namespace
}  // namespace quorvane::config
