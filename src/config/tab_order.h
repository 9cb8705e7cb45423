// Where Tab and Shift+Tab take the focus in the settings dialog: the next control in the
// layout's tab order that can take it. Only controls of a kind that takes the Tab key can; of
// those the dialog says which can now (enabled, the selected button of its option array). A pure
// function over positions in the layout table.
#pragma once

#include <functional>

#include "config/layout.h"

namespace quorvane::config {

// The position in kLayout after (or before) from that can take the focus, going round; from
// is -1 when the focus is on none of them. -1 when none can.
int NextInTabOrder(int from, bool backwards,
                   const std::function<bool(const ControlLayout&)>& can_take_focus);

}  // namespace quorvane::config
