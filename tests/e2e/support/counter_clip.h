// counter.rm as the tests watch it: each picture shows its own number, eight columns of 20 pixels
// across its middle row, the lowest bit on the left, read off the screen.
#pragma once

#include <windows.h>

#include <vector>

namespace quorvane::e2e {

// The number the component shows now, or -1.
int PictureNumber(HWND component);

struct Sample {
  double at;  // seconds from the watch's start
  int number;
};

// The pictures the component shows, read every few milliseconds for the given time.
std::vector<Sample> WatchPictures(HWND component, double seconds);

// Pictures a second between the first and the last reading of a watch.
double PicturesPerSecond(const std::vector<Sample>& samples);

}  // namespace quorvane::e2e
