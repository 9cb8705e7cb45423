// The saver with its display off, for scripts/bench to measure from outside: the saver's window
// and player run in this process on the clip given (its Windows path), and once its picture
// shows, the display's "off" is delivered as Windows would; then the line "display off" is
// printed and the process sleeps until it is ended.
//   display_off_bench.exe CLIP
#include <cstdio>
#include <string>

#include "support/display_power.h"
#include "support/saver_driver.h"
#include "support/saver_here.h"
#include "support/support.h"

int wmain(int argc, wchar_t** argv) {
  using namespace quorvane::e2e;
  if (argc != 2) {
    std::fprintf(stderr, "usage: display_off_bench.exe CLIP\n");
    return 2;
  }
  SaverHere saver;
  if (!StartSaverHere(SaverSettings({"SizeSel  =1"}, {argv[1]}), saver)) {
    std::fprintf(stderr, "the saver showed no picture\n");
    return 1;
  }
  Sleep(2000);
  TellDisplayState(saver.window, kDisplayOff);
  Sleep(500);  // its sound let go, its worker asleep
  std::printf("display off\n");
  std::fflush(stdout);
  Sleep(INFINITE);
  return 0;
}
