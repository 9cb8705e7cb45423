// The table of kinds against the layout table: a row's handler runs only when the notification of
// its event arrives, so an event its kind does not report would leave the handler never run.
#include <gtest/gtest.h>

#include "config/control_kinds_win.h"

namespace quorvane::config {
namespace {

TEST(ControlKinds, EveryHandledEventIsOneItsKindReportsAndNoOtherRowHasOne) {
  for (const ControlLayout& row : kLayout) {
    EXPECT_EQ(NotificationOf(row) != kNoNotification, row.handler != nullptr) << row.id;
  }
}

}  // namespace
}  // namespace quorvane::config
