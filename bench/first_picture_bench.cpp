// Measures the time from handing the player core a clip (`Source`) to its first picture due, on
// the disk's files and on files whose every open takes 10 ms (as on a slow share), with the
// number of times the clip's files were opened on the way. Prints one line per clip.
//   first_picture_bench clip...
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "player/core/player_core.h"

namespace quorvane::player {
namespace {

constexpr int kRuns = 15;  // the median of these counts

// The disk's files, each open counted and delayed.
class CountedFiles final : public ClipFiles {
 public:
  explicit CountedFiles(std::chrono::milliseconds delay) : delay_(delay) {}
  std::unique_ptr<ByteSource> Open(std::string_view utf8) const override {
    ++opens;
    std::this_thread::sleep_for(delay_);
    return disk_->Open(utf8);
  }
  bool IsRegularFile(std::string_view utf8) const override { return disk_->IsRegularFile(utf8); }

  mutable std::atomic<int> opens{0};

 private:
  std::chrono::milliseconds delay_;
  std::shared_ptr<const ClipFiles> disk_ = DiskFiles();
};

// Milliseconds from SetSource to the first picture taken, or a negative number when none came.
double FirstPicture(const std::string& clip, const std::shared_ptr<const ClipFiles>& files) {
  PlayerCore core(nullptr, nullptr, Utf8Line, files);
  auto start = std::chrono::steady_clock::now();
  core.SetSource(clip);
  for (;;) {
    auto waited = std::chrono::steady_clock::now() - start;
    if (core.TakeDuePicture()) {
      return std::chrono::duration<double, std::milli>(waited).count();
    }
    if (waited > std::chrono::seconds(10)) return -1;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
}

void Measure(const std::string& clip, std::chrono::milliseconds delay) {
  std::vector<double> times;
  int opens = 0;
  for (int run = 0; run < kRuns; ++run) {
    auto files = std::make_shared<CountedFiles>(delay);
    double ms = FirstPicture(clip, files);
    if (ms < 0) {
      std::printf("%s: no picture\n", clip.c_str());
      return;
    }
    times.push_back(ms);
    opens = files->opens.load();
  }
  std::sort(times.begin(), times.end());
  std::printf(
      "from Source to the first picture, %s, %s: %.1f ms (median of %d), opened %d time%s\n",
      clip.substr(clip.find_last_of('/') + 1).c_str(),
      delay.count() > 0 ? "each open taking 10 ms" : "local disk", times[kRuns / 2], kRuns, opens,
      opens == 1 ? "" : "s");
}

}  // namespace
}  // namespace quorvane::player

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: first_picture_bench clip...\n");
    return 2;
  }
  for (int i = 1; i < argc; ++i) {
    for (auto delay : {std::chrono::milliseconds(0), std::chrono::milliseconds(10)}) {
      quorvane::player::Measure(argv[i], delay);
    }
  }
  return 0;
}
