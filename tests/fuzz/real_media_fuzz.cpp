// Any bytes as a RealMedia file: the normaliser only ever drops or rewrites bytes, hands over
// anything it does not know unchanged, and counting packets never crashes.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "player/source/real_media.h"

namespace {

class Bytes final : public quorvane::player::ByteSource {
 public:
  Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  size_t Read(uint8_t* into, size_t most) override {
    size_t count = std::min(most, size_ - at_);
    std::memcpy(into, data_ + at_, count);
    at_ += count;
    return count;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using quorvane::player::RealMediaNormaliser;
  RealMediaNormaliser normaliser(std::make_unique<Bytes>(data, size));
  std::string out;
  uint8_t block[4096];
  while (size_t got = normaliser.Read(block, sizeof block)) out.append(block, block + got);
  if (out.size() > size) std::abort();
  bool real_media = size >= 4 && std::memcmp(data, ".RMF", 4) == 0;
  if (!real_media && out != std::string(reinterpret_cast<const char*>(data), size)) std::abort();
  Bytes counted(data, size);
  quorvane::player::CountPackets(counted);
  return 0;
}
