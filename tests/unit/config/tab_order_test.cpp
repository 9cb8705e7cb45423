#include "config/tab_order.h"

#include <gtest/gtest.h>

#include "config/control_ids.h"

namespace quorvane::config {
namespace {

int PositionOf(int id) {
  for (size_t i = 0; i < kLayout.size(); ++i) {
    if (kLayout[i].id == id) return static_cast<int>(i);
  }
  return -1;
}

int IdAt(int position) { return position < 0 ? -1 : kLayout[static_cast<size_t>(position)].id; }

TEST(TabOrder, SkipsFramesLabelsThePreviewAndWhatCannotTakeTheFocus) {
  // The selected option of each array, as the dialog starts; the play order is disabled.
  auto can = [](const ControlLayout& c) {
    if (c.kind != Kind::kOption) return true;
    return c.id == kIdOptSizeSel0 + 1 || c.id == kIdOptPosSel0;
  };
  // OK, Cancel, then past fraSizeSel to the selected magnification, then the free factor box.
  EXPECT_EQ(IdAt(NextInTabOrder(PositionOf(kIdCmdOk), false, can)), kIdCmdCancel);
  EXPECT_EQ(IdAt(NextInTabOrder(PositionOf(kIdCmdCancel), false, can)), kIdOptSizeSel0 + 1);
  EXPECT_EQ(IdAt(NextInTabOrder(PositionOf(kIdOptSizeSel0 + 1), false, can)), kIdTxtSizeFree);
  // From the free factor box past fraFileSel and the preview to the playlist.
  EXPECT_EQ(IdAt(NextInTabOrder(PositionOf(kIdTxtSizeFree), false, can)), kIdLstPlay);
  // From cmdDel past the heading and the frame to the selected position; past the play order.
  EXPECT_EQ(IdAt(NextInTabOrder(PositionOf(kIdCmdDel), false, can)), kIdOptPosSel0);
  EXPECT_EQ(IdAt(NextInTabOrder(PositionOf(kIdOptPosSel0), false, can)), kIdCmdUp);
  // Round from the last (the title, a label) to OK, and backwards from OK to cmdDown.
  EXPECT_EQ(IdAt(NextInTabOrder(PositionOf(kIdCmdDown), false, can)), kIdCmdOk);
  EXPECT_EQ(IdAt(NextInTabOrder(PositionOf(kIdCmdOk), true, can)), kIdCmdDown);
  // With the focus nowhere: the first forwards, the last backwards.
  EXPECT_EQ(IdAt(NextInTabOrder(-1, false, can)), kIdCmdOk);
  EXPECT_EQ(IdAt(NextInTabOrder(-1, true, can)), kIdCmdDown);
  EXPECT_EQ(NextInTabOrder(0, false, [](const ControlLayout&) { return false; }), -1);
}

}  // namespace
}  // namespace quorvane::config
