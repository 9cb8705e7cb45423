// Every point where memory can run out while a clip is opened and decoded, tried: for each clip
// of the test set, the Nth allocation (ours or FFmpeg's) fails. The clip gives way or plays what
// it could; it never ends the program: no exception crosses FFmpeg's callbacks (they are
// noexcept), nothing leaks (LeakSanitizer), and each run ends by itself.
// A run goes on for a while after its failure, long enough for its consequences, not to the
// clip's end. By default every allocation of the generated clips' opening is tried, every
// eighth of the other clips', and a sample of each clip's decoding (which repeats the same few
// allocations for every picture and piece of sound): QUORVANE_FAILURE_POINTS=all tries every
// allocation of every clip (scripts/failure-points: some 315,000 runs with the real clips).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "failing_allocations.h"
#include "support/decode_run.h"

namespace quorvane::player::testing {
namespace {

constexpr int64_t kDecodingSample = 24;
constexpr int kStepsAfterTheFailure = 40;

bool EveryPoint() {
  const char* every = std::getenv("QUORVANE_FAILURE_POINTS");
  return every && std::string(every) == "all";
}

std::vector<int64_t> PointsToTry(const std::string& clip, int64_t opening, int64_t total) {
  bool generated = clip.find("/clips/real/") == std::string::npos;
  int64_t opening_stride = generated ? 1 : 8;
  int64_t decoding_stride = std::max<int64_t>(1, (total - opening) / kDecodingSample);
  std::vector<int64_t> points;
  for (int64_t n = 1; n <= total; ++n) {
    bool sampled = n <= opening ? n % opening_stride == 0 : (n - opening) % decoding_stride == 0;
    if (EveryPoint() || sampled) points.push_back(n);
  }
  return points;
}

TEST(AllocationPoints, EveryFailedAllocationEndsTheClipAndLeavesNothingBehind) {
  auto started = std::chrono::steady_clock::now();
  int64_t runs = 0;
  for (const std::string& clip : FailureClipSet()) {
    SCOPED_TRACE(clip);
    std::shared_ptr<const ClipFiles> disk = DiskFiles();
    ArmAllocations(0);
    int64_t opening = 0;
    DecodeRun whole = DecodeWhole(clip, disk, [&opening] { opening = AllocationsSoFar(); });
    int64_t allocations = DisarmAllocations();
    ASSERT_FALSE(whole.timed_out);
    ASSERT_FALSE(whole.gave_way);
    std::vector<int64_t> points = PointsToTry(clip, opening, allocations);
    for (int64_t n : points) {
      int steps_after = 0;
      auto enough = [&steps_after] {
        return AllocationFailed() && ++steps_after > kStepsAfterTheFailure;
      };
      ArmAllocations(n);
      DecodeRun run = DecodeWhole(clip, disk, {}, enough);
      DisarmAllocations();
      ++runs;
      ASSERT_FALSE(run.timed_out) << "allocation " << n << ": the clip did not end";
      ASSERT_LE(run.pictures, whole.pictures) << "allocation " << n;
    }
    std::printf("%s: %lld allocations, %lld of them opening it; %zu tried\n", clip.c_str(),
                static_cast<long long>(allocations), static_cast<long long>(opening),
                points.size());
    std::fflush(stdout);
  }
  std::printf("%lld runs in %.1f s\n", static_cast<long long>(runs),
              std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
}

}  // namespace
}  // namespace quorvane::player::testing
