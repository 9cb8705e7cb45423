// Files that fail: a ClipFiles over the disk's files whose Nth operation, counted across every
// file it opens (an open, a read, a skip or a rewind), fails or comes up short, and whose reads may
// be slow on purpose. For the tests that try every point where the world can fail a clip.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "player/source/clip_file.h"
#include "support/manual_time.h"

namespace quorvane::player::testing {

enum class Operation { kOpen, kRead, kSkip, kRewind };

enum class Fault {
  kError,      // the open fails, the read gives nothing, the skip or the rewind fails
  kShortRead,  // the read gives less than asked (only a read has this fault)
};

class FaultyFiles final : public ClipFiles {
 public:
  // No fault: every operation is counted and logged.
  FaultyFiles() = default;
  FaultyFiles(int64_t fail_at, Fault fault) : fail_at_(fail_at), fault_(fault) {}

  // Each read takes at least this long.
  void SetReadDelay(std::chrono::milliseconds delay) { delay_ = delay; }

  std::unique_ptr<ByteSource> Open(std::string_view utf8) const override;
  bool IsRegularFile(std::string_view utf8) const override;

  int64_t Operations() const { return count_.load(); }
  // When the last operation began (the clock's epoch before the first).
  std::chrono::steady_clock::time_point LastOperation() const {
    return std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(last_.load()));
  }
  // Notified at every operation.
  const Signal& EachOperation() const { return operations_; }
  std::vector<Operation> Log() const;

  // Counts the operation; the fault to apply to it, if this is the one that fails.
  std::optional<Fault> Next(Operation operation) const;

 private:
  int64_t fail_at_ = -1;
  Fault fault_ = Fault::kError;
  std::chrono::milliseconds delay_{0};
  mutable std::atomic<int64_t> count_{0};
  mutable Signal operations_;
  mutable std::atomic<std::chrono::steady_clock::rep> last_{0};
  // A slow read is one that waits for this long on an event that never comes.
  mutable std::mutex slow_mutex_;
  mutable std::condition_variable never_;
  mutable std::mutex mutex_;
  mutable std::vector<Operation> log_;
  friend class FaultySource;
};

}  // namespace quorvane::player::testing
