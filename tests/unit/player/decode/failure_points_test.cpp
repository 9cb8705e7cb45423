// Every point where reading a clip can fail, tried: for each clip of the test set, the Nth
// operation on its files (an open, a read, a skip or a rewind) fails, for every N up to the last
// the clip needs, and each read comes up short in turn. Each run must end (bounded in time), give
// no more than the whole clip does, and lose nothing to a short read; the sanitizers watch for the
// rest.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/decode_run.h"
#include "support/faulty_files.h"

namespace quorvane::player::testing {
namespace {

TEST(FailurePoints, EveryFailedOrShortFileOperationEndsTheClipCleanly) {
  auto started = std::chrono::steady_clock::now();
  int runs = 0;
  for (const std::string& clip : FailureClipSet()) {
    SCOPED_TRACE(clip);
    auto counting = std::make_shared<FaultyFiles>();
    DecodeRun whole = DecodeWhole(clip, counting);
    ASSERT_FALSE(whole.timed_out);
    std::vector<Operation> log = counting->Log();
    for (int64_t n = 1; n <= static_cast<int64_t>(log.size()); ++n) {
      for (Fault fault : {Fault::kError, Fault::kShortRead}) {
        if (fault == Fault::kShortRead && log[static_cast<size_t>(n - 1)] != Operation::kRead) {
          continue;
        }
        SCOPED_TRACE("operation " + std::to_string(n) +
                     (fault == Fault::kError ? " fails" : " comes up short"));
        DecodeRun run = DecodeWhole(clip, std::make_shared<FaultyFiles>(n, fault));
        ++runs;
        EXPECT_FALSE(run.timed_out) << "the clip did not end";
        EXPECT_LE(run.pictures, whole.pictures + 1);
        if (fault == Fault::kShortRead) {
          EXPECT_EQ(run.opened, whole.opened);
          EXPECT_EQ(run.pictures, whole.pictures);
          EXPECT_EQ(run.sounds, whole.sounds);
        }
      }
    }
    std::printf("%s: %zu file operations\n", clip.c_str(), log.size());
  }
  std::printf("%d runs in %.1f s\n", runs,
              std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
}

}  // namespace
}  // namespace quorvane::player::testing
