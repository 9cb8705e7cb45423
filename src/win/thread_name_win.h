// Names the calling thread as debuggers, profilers and Windows' tools show it (Windows 10 1607
// and later; nothing happens on an older Windows).
#pragma once

namespace quorvane::win {

void NameThisThread(const wchar_t* name);

}  // namespace quorvane::win
