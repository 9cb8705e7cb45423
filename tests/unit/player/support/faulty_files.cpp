#include "support/faulty_files.h"

#include <algorithm>

namespace quorvane::player::testing {

class FaultySource final : public ByteSource {
 public:
  FaultySource(std::unique_ptr<ByteSource> file, const FaultyFiles& files)
      : file_(std::move(file)), files_(files) {}

  size_t Read(uint8_t* into, size_t most) override {
    if (files_.delay_.count() > 0) {
      std::unique_lock lock(files_.slow_mutex_);
      files_.never_.wait_for(lock, files_.delay_, [] { return false; });
    }
    std::optional<Fault> fault = files_.Next(Operation::kRead);
    if (fault == Fault::kError) return 0;
    if (fault == Fault::kShortRead) most = std::max<size_t>(1, most / 3);
    return file_->Read(into, most);
  }
  bool Skip(uint64_t count) override {
    if (files_.Next(Operation::kSkip) == Fault::kError) return false;
    return file_->Skip(count);
  }
  bool Rewind() override {
    if (files_.Next(Operation::kRewind) == Fault::kError) return false;
    return file_->Rewind();
  }

 private:
  std::unique_ptr<ByteSource> file_;
  const FaultyFiles& files_;
};

std::optional<Fault> FaultyFiles::Next(Operation operation) const {
  int64_t n = ++count_;
  last_ = std::chrono::steady_clock::now().time_since_epoch().count();
  {
    std::lock_guard lock(mutex_);
    log_.push_back(operation);
  }
  operations_.Notify();
  if (n != fail_at_) return std::nullopt;
  if (fault_ == Fault::kShortRead && operation != Operation::kRead) return std::nullopt;
  return fault_;
}

std::unique_ptr<ByteSource> FaultyFiles::Open(std::string_view utf8) const {
  if (Next(Operation::kOpen) == Fault::kError) return nullptr;
  std::unique_ptr<ByteSource> file = DiskFiles()->Open(utf8);
  if (!file) return nullptr;
  return std::make_unique<FaultySource>(std::move(file), *this);
}

bool FaultyFiles::IsRegularFile(std::string_view utf8) const {
  return DiskFiles()->IsRegularFile(utf8);
}

std::vector<Operation> FaultyFiles::Log() const {
  std::lock_guard lock(mutex_);
  return log_;
}

}  // namespace quorvane::player::testing
