// Any bytes as a .ram metafile: never a network entry played, never a crash.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "player/source/ram_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::optional<std::string> entry =
      quorvane::player::FirstPlayableEntry(text, "C:\\clips", quorvane::player::Utf8Line,
                                           [](const std::string& path) { return !path.empty(); });
  if (entry && quorvane::player::IsNetworkEntry(*entry)) std::abort();
  return 0;
}
