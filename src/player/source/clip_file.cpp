#include "player/source/clip_file.h"

#include <fstream>
#include <system_error>

#include "base/utf8.h"

namespace quorvane::player {

namespace {

class FileSource final : public ByteSource {
 public:
  explicit FileSource(const std::filesystem::path& path) : file_(path, std::ios::binary) {
    file_.seekg(0, std::ios::end);
    size_ = file_.tellg();
    file_.seekg(0);
  }
  bool IsOpen() const { return file_.is_open() && size_ >= 0; }

  size_t Read(uint8_t* into, size_t most) override {
    file_.read(reinterpret_cast<char*>(into), static_cast<std::streamsize>(most));
    return static_cast<size_t>(file_.gcount());
  }
  bool Skip(uint64_t count) override {
    std::streamoff at = file_.tellg();
    if (at < 0 || count > static_cast<uint64_t>(size_ - at)) return false;
    return static_cast<bool>(file_.seekg(static_cast<std::streamoff>(count), std::ios::cur));
  }

 private:
  std::ifstream file_;
  std::streamoff size_ = -1;
};

std::unique_ptr<FileSource> OpenFile(std::string_view utf8) {
  std::optional<std::filesystem::path> path = PathFromUtf8(utf8);
  if (!path) return nullptr;
  try {
    auto source = std::make_unique<FileSource>(*path);
    if (source->IsOpen()) return source;
  } catch (const std::exception&) {
    // An unreadable file is no clip.
  }
  return nullptr;
}

}  // namespace

std::optional<std::filesystem::path> PathFromUtf8(std::string_view utf8) {
  if (utf8.empty() || !base::IsValidUtf8(utf8)) return std::nullopt;
  try {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::optional<std::string> ClipFiles::ReadHead(std::string_view utf8, size_t most) const {
  std::unique_ptr<ByteSource> file = Open(utf8);
  if (!file) return std::nullopt;
  std::string head(most, '\0');
  size_t have = 0;
  // A source may give less than asked without being at its end.
  while (have < most) {
    size_t got = file->Read(reinterpret_cast<uint8_t*>(head.data()) + have, most - have);
    if (got == 0) break;
    have += got;
  }
  head.resize(have);
  return head;
}

namespace {

class Disk final : public ClipFiles {
 public:
  std::unique_ptr<ByteSource> Open(std::string_view utf8) const override { return OpenFile(utf8); }
  bool IsRegularFile(std::string_view utf8) const override {
    std::optional<std::filesystem::path> path = PathFromUtf8(utf8);
    std::error_code error;
    return path && std::filesystem::is_regular_file(*path, error);
  }
};

}  // namespace

std::shared_ptr<const ClipFiles> DiskFiles() { return std::make_shared<Disk>(); }

}  // namespace quorvane::player
