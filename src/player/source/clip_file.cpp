#include "player/source/clip_file.h"

#include <algorithm>
#include <cstring>
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
  bool Rewind() override {
    file_.clear();
    return static_cast<bool>(file_.seekg(0));
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

namespace {

// Up to most of the source's next bytes. A source may give less than asked without being at its
// end.
std::string ReadUpTo(ByteSource& source, size_t most) {
  std::string bytes(most, '\0');
  size_t have = 0;
  while (have < most) {
    size_t got = source.Read(reinterpret_cast<uint8_t*>(bytes.data()) + have, most - have);
    if (got == 0) break;
    have += got;
  }
  bytes.resize(have);
  return bytes;
}

// The head, kept in memory, then the rest of the file.
class HeadThenFile final : public ByteSource {
 public:
  HeadThenFile(std::string head, std::unique_ptr<ByteSource> file)
      : head_(std::move(head)), file_(std::move(file)) {}

  size_t Read(uint8_t* into, size_t most) override {
    if (at_ < head_.size()) {
      size_t count = std::min(most, head_.size() - at_);
      std::memcpy(into, head_.data() + at_, count);
      at_ += count;
      return count;
    }
    file_moved_ = true;
    return file_->Read(into, most);
  }
  bool Skip(uint64_t count) override {
    size_t here = static_cast<size_t>(std::min<uint64_t>(count, head_.size() - at_));
    at_ += here;
    if (count == here) return true;
    file_moved_ = true;
    return file_->Skip(count - here);
  }
  // The file goes back to just past the head, which is given again from memory.
  bool Rewind() override {
    at_ = 0;
    if (!file_moved_) return true;
    file_moved_ = false;
    return file_->Rewind() && (head_.empty() || file_->Skip(head_.size()));
  }

 private:
  std::string head_;
  size_t at_ = 0;
  std::unique_ptr<ByteSource> file_;
  bool file_moved_ = false;  // past the head since it was read
};

}  // namespace

std::optional<OpenedFile> OpenWithHead(const ClipFiles& files, const std::string& utf8,
                                       size_t most) {
  std::unique_ptr<ByteSource> file = files.Open(utf8);
  if (!file) return std::nullopt;
  OpenedFile opened;
  opened.path = utf8;
  opened.head = ReadUpTo(*file, most);
  opened.kind = KindOfContent(opened.head);
  opened.bytes = std::make_unique<HeadThenFile>(opened.head, std::move(file));
  return opened;
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
