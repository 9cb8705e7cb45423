#include "config/tab_order.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvane::config {
namespace {

// As the dialog starts: of an option array only its selected button, no disabled control.
bool CanAtStart(const ControlLayout& control) {
  if (control.flags & kDisabled) return false;
  return !FactsOf(control.kind).array || (control.flags & kSelected);
}

// Tab goes round the controls in the order of the table, and stops at each that can take the
// focus and whose kind takes the Tab key; Shift+Tab the same way back.
TEST(TabOrder, GoesRoundTheTableStoppingWhereTheKindTakesTabAndTheControlCan) {
  std::vector<int> stops;
  for (size_t at = 0; at < kLayout.size(); ++at) {
    if (FactsOf(kLayout[at].kind).takes_tab && CanAtStart(kLayout[at])) {
      stops.push_back(static_cast<int>(at));
    }
  }
  ASSERT_GT(stops.size(), 1u);
  ASSERT_LT(stops.size(), kLayout.size()) << "no control is skipped";
  const size_t count = stops.size();
  int at = -1;  // the focus on none of them: forwards from the first
  for (size_t step = 0; step < 2 * count; ++step) {
    at = NextInTabOrder(at, false, CanAtStart);
    EXPECT_EQ(at, stops[step % count]) << step;
  }
  at = -1;
  for (size_t step = 0; step < 2 * count; ++step) {
    at = NextInTabOrder(at, true, CanAtStart);
    EXPECT_EQ(at, stops[count - 1 - step % count]) << step;
  }
  EXPECT_EQ(NextInTabOrder(0, false, [](const ControlLayout&) { return false; }), -1);
}

}  // namespace
}  // namespace quorvane::config
