// A new source, or the player's end, while its worker reads a file slowly (a share that hangs,
// a large file): the worker lets go within 100 ms wherever it is, opening the file, scanning it
// for the streams that carry packets (a RealMedia file whose data chunk gives no size is read
// through) or decoding it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "player/core/player_core.h"
#include "support/clips.h"
#include "support/faulty_files.h"

namespace quorvane::player::testing {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kReadDelay = std::chrono::milliseconds(30);
constexpr auto kPrompt = std::chrono::milliseconds(100);

// long.rm with its data chunk's size field cleared: nothing says where its packets end.
std::string ClipOfUnknownLength() {
  std::ifstream in(Clip("long.rm"), std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t data = bytes.find("DATA");
  EXPECT_NE(data, std::string::npos);
  std::memset(bytes.data() + data + 4, 0, 4);
  std::string path = ScratchFolder("cancellation") + "/unknown-length.rm";
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

// Waits until the worker has made this many reads of the slow files.
bool ReadsReached(const FaultyFiles& files, int64_t count) {
  return files.EachOperation().Until([&] { return files.Operations() >= count; },
                                     std::chrono::seconds(30));
}

TEST(Cancellation, ThePlayersEndIsPromptWhereverTheWorkerIsInASlowFile) {
  std::string clip = ClipOfUnknownLength();
  // Its opening, its scan and its decoding: each at some number of slow reads.
  for (int64_t reads : {1, 3, 6, 10, 14}) {
    SCOPED_TRACE("after " + std::to_string(reads) + " reads");
    auto files = std::make_shared<FaultyFiles>();
    files->SetReadDelay(kReadDelay);
    auto core = std::make_unique<PlayerCore>(nullptr, nullptr, Utf8Line, files);
    core->SetSource(clip);
    ASSERT_TRUE(ReadsReached(*files, reads));
    auto start = Clock::now();
    core.reset();
    EXPECT_LT(Clock::now() - start, kPrompt + kReadDelay);
  }
}

TEST(Cancellation, ANewSourceStopsTheReadingOfTheOldOnePromptly) {
  std::string clip = ClipOfUnknownLength();
  for (int64_t reads : {2, 8}) {
    SCOPED_TRACE("after " + std::to_string(reads) + " reads");
    auto files = std::make_shared<FaultyFiles>();
    files->SetReadDelay(kReadDelay);
    PlayerCore core(nullptr, nullptr, Utf8Line, files);
    core.SetSource(clip);
    ASSERT_TRUE(ReadsReached(*files, reads));
    auto start = Clock::now();
    core.SetSource("");
    EXPECT_LT(Clock::now() - start, kPrompt);
    // The worker is done with the old file: once its reads have been quiet for a while, the
    // last of them began within the prompt time.
    ASSERT_TRUE(files->EachOperation().Until(
        [&] { return Clock::now() - files->LastOperation() > kReadDelay * 5; },
        std::chrono::seconds(5)))
        << "the old file was still being read";
    EXPECT_LT(files->LastOperation() - start, kPrompt + kReadDelay);
  }
}

}  // namespace
}  // namespace quorvane::player::testing
