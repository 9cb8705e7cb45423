#include "config/tab_order.h"

namespace quorvane::config {

int NextInTabOrder(int from, bool backwards,
                   const std::function<bool(const ControlLayout&)>& can_take_focus) {
  const int count = static_cast<int>(kLayout.size());
  int at = from >= 0 && from < count ? from : (backwards ? 0 : count - 1);
  for (int step = 0; step < count; ++step) {
    at = (at + (backwards ? count - 1 : 1)) % count;
    const ControlLayout& control = kLayout[static_cast<size_t>(at)];
    if (FactsOf(control.kind).takes_tab && can_take_focus(control)) return at;
  }
  return -1;
}

}  // namespace quorvane::config
