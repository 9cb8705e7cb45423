#include "support/counter_clip.h"

#include <chrono>

#include "support/support.h"

namespace quorvane::e2e {

int PictureNumber(HWND component) {
  std::vector<uint32_t> row = ScreenPixels(component, RECT{0, 60, 160, 61});
  if (row.size() != 160) return -1;
  int number = 0;
  for (int bit = 0; bit < 8; ++bit) {
    uint32_t pixel = row[static_cast<size_t>(bit * 20 + 10)];
    int green = static_cast<int>((pixel >> 8) & 0xFF);
    if (green > 128) number |= 1 << bit;
  }
  return number;
}

std::vector<Sample> WatchPictures(HWND component, double seconds) {
  using Clock = std::chrono::steady_clock;
  std::vector<Sample> samples;
  auto start = Clock::now();
  auto since = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
  while (since() < seconds) {
    samples.push_back({since(), PictureNumber(component)});
    Sleep(25);
  }
  return samples;
}

double PicturesPerSecond(const std::vector<Sample>& samples) {
  if (samples.size() < 2) return 0;
  return (samples.back().number - samples.front().number) /
         (samples.back().at - samples.front().at);
}

}  // namespace quorvane::e2e
