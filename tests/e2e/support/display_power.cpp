#include "support/display_power.h"

#include <cstddef>

namespace quorvane::e2e {

namespace {

constexpr GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

// POWERBROADCAST_SETTING with its one DWORD of data.
struct DisplaySetting {
  GUID setting;
  DWORD length;
  DWORD state;
};
static_assert(offsetof(DisplaySetting, state) == offsetof(POWERBROADCAST_SETTING, Data));

}  // namespace

void TellDisplayState(HWND window, DisplayState state) {
  DisplaySetting message{kConsoleDisplayState, sizeof(DWORD), state};
  SendMessageW(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
               reinterpret_cast<LPARAM>(&message));
}

}  // namespace quorvane::e2e
