// Any bytes as one metafile entry: what comes out is never a path to another machine, never a
// device's namespace, never a name with a control character, and never a crash.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "player/source/local_path.h"
#include "player/source/ram_file.h"

namespace {

bool Separator(char c) { return c == '\\' || c == '/'; }

// Checked apart from the rule itself: the forms by which Windows reaches beyond its own disks.
bool ReachesElsewhere(std::string_view path) {
  if (path.size() >= 2 && Separator(path[0]) && Separator(path[1])) return true;
  if (path.size() >= 4 && Separator(path[0]) && path.substr(1, 2) == "??" && Separator(path[3])) {
    return true;
  }
  for (char c : path) {
    if (static_cast<unsigned char>(c) < 0x20) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view entry(reinterpret_cast<const char*>(data), size);
  for (std::string_view folder : {"", "C:\\clips"}) {
    std::optional<std::string> path = quorvane::player::LocalEntryPath(entry, folder);
    if (!path) continue;
    if (path->empty() || ReachesElsewhere(*path)) std::abort();
    if (!quorvane::player::IsThisMachinesPath(*path)) std::abort();
    if (quorvane::player::IsNetworkEntry(*path)) std::abort();
  }
  return 0;
}
