#include "player/clip_file.h"

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

bool IsRegularFile(std::string_view utf8) {
  std::optional<std::filesystem::path> path = PathFromUtf8(utf8);
  std::error_code error;
  return path && std::filesystem::is_regular_file(*path, error);
}

std::optional<std::string> ReadHead(std::string_view utf8, size_t most) {
  std::unique_ptr<FileSource> file = OpenFile(utf8);
  if (!file) return std::nullopt;
  std::string head(most, '\0');
  head.resize(file->Read(reinterpret_cast<uint8_t*>(head.data()), most));
  return head;
}

std::unique_ptr<ByteSource> OpenByteSource(std::string_view utf8) { return OpenFile(utf8); }

}  // namespace quorvane::player
