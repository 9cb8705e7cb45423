#include "player/source/real_media_reader.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace quorvane::player {

namespace {

// Header chunks (properties, stream headers, metadata) are small; a bigger one is damage.
constexpr uint32_t kLargestHeaderChunk = 16 * 1024 * 1024;
constexpr size_t kReadBlock = 64 * 1024;

uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
uint32_t Be32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | p[3];
}
bool IsTag(const uint8_t* p, std::string_view tag) { return std::memcmp(p, tag.data(), 4) == 0; }

// A stream header (MDPR) whose type data is "MLTI" names, for each ASM rule, the sub-stream
// whose packets carry it; FFmpeg makes one stream per sub-stream.
void NoteStreamHeader(const uint8_t* chunk, size_t size, RuleStreams& rule_streams) {
  size_t at = 40;  // tag, size, version, stream number, seven 32-bit fields
  if (size < at + 1) return;
  int number = Be16(chunk + 10);
  at += 1 + chunk[at];  // description
  if (at + 1 > size) return;
  at += 1 + chunk[at];  // MIME type
  if (at + 4 > size) return;
  size_t type_size = Be32(chunk + at);
  at += 4;
  if (type_size < 6 || at + type_size > size || !IsTag(chunk + at, "MLTI")) return;
  size_t rules = Be16(chunk + at + 4);
  if (6 + 2 * rules > type_size) return;
  std::vector<int>& streams = rule_streams[number];
  streams.clear();
  for (size_t i = 0; i < rules; ++i) streams.push_back(Be16(chunk + at + 6 + 2 * i));
}

// The packet at p (at least 13 bytes, or 12 for version 0), or false for bytes that are not one.
bool ReadPacketHead(const uint8_t* p, size_t available, const RuleStreams& rule_streams,
                    PacketHead& head) {
  uint16_t version = Be16(p);
  if (version > 1) return false;
  head.header_size = version == 0 ? 12 : 13;
  if (available < head.header_size) return false;
  head.length = Be16(p + 2);
  if (head.length < head.header_size) return false;
  head.number = Be16(p + 4);
  if (version == 0) {
    // The packet group: FFmpeg's demuxer reads the sub-stream from it.
    head.sub_stream = std::max((p[10] >> 1) - 1, 0);
    head.key = (p[11] & 2) != 0;
    return true;
  }
  // Version 1 carries the ASM rule instead. Rules come in pairs, the even one starting a key
  // frame or an interleaved audio block; Helix marks every packet's flags as a key frame.
  int rule = Be16(p + 10);
  auto streams = rule_streams.find(head.number);
  bool known = streams != rule_streams.end() && rule < static_cast<int>(streams->second.size());
  head.sub_stream = known ? streams->second[static_cast<size_t>(rule)] : 0;
  head.key = (p[12] & 2) != 0 && rule % 2 == 0;
  return true;
}

}  // namespace

bool Lookahead::Want(size_t count) {
  while (Size() < count) {
    if (at_ > 0) {
      ahead_.erase(ahead_.begin(), ahead_.begin() + static_cast<std::ptrdiff_t>(at_));
      at_ = 0;
    }
    size_t had = ahead_.size();
    size_t block = std::max(kReadBlock, count - had);
    ahead_.resize(had + block);
    size_t got = source_.Read(ahead_.data() + had, block);
    ahead_.resize(had + got);
    if (got == 0) return false;
  }
  return true;
}

void Lookahead::Drop(size_t count) {
  count = std::min(count, Size());
  at_ += count;
  used_ += count;
}

bool Lookahead::Skip(uint64_t count) {
  size_t here = static_cast<size_t>(std::min<uint64_t>(count, Size()));
  Drop(here);
  count -= here;
  if (count == 0) return true;
  if (!source_.Skip(count)) return false;
  used_ += count;
  return true;
}

RealMediaReader::Piece RealMediaReader::Next() {
  if (!in_data_) return HeaderPiece();
  // The smallest packet header is 12 bytes, a data header's tag 4 of them.
  if (!in_.Want(13) && !in_.Want(12)) return Piece::kUnknown;
  if (IsTag(in_.Data(), "DATA")) {
    return DataHeader();
  }
  return ReadPacketHead(in_.Data(), in_.Size(), rule_streams_, packet_) ? Piece::kPacket
                                                                        : Piece::kUnknown;
}

RealMediaReader::Piece RealMediaReader::HeaderPiece() {
  if (!in_.Want(8)) return Piece::kUnknown;
  const uint8_t* chunk = in_.Data();
  if (!started_ && !IsTag(chunk, ".RMF")) return Piece::kUnknown;
  started_ = true;
  if (IsTag(chunk, "DATA")) return DataHeader();
  uint32_t size = Be32(chunk + 4);
  if (size < 8 || size > kLargestHeaderChunk || !in_.Want(size)) return Piece::kUnknown;
  chunk_size_ = size;
  if (IsTag(in_.Data(), "MDPR")) NoteStreamHeader(in_.Data(), size, rule_streams_);
  return Piece::kHeaderChunk;
}

RealMediaReader::Piece RealMediaReader::DataHeader() {
  if (!in_.Want(kDataHeaderSize)) return Piece::kUnknown;
  in_data_ = true;
  chunk_size_ = Be32(in_.Data() + 4);
  return Piece::kDataHeader;
}

}  // namespace quorvane::player
