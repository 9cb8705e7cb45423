#include "player/source/real_media.h"

#include <algorithm>
#include <cstring>

namespace quorvane::player {

namespace {

// Header chunks (properties, stream headers, metadata) are small; a bigger one is damage.
constexpr uint32_t kLargestHeaderChunk = 16 * 1024 * 1024;
// "DATA", its size, a version, the packet count and the next data chunk's offset.
constexpr size_t kDataHeaderSize = 18;
// Counting packets looks at this much of each data chunk.
constexpr uint64_t kCountedBytesPerChunk = 1024 * 1024;
constexpr size_t kReadBlock = 64 * 1024;

uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
uint32_t Be32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | p[3];
}
void PutBe16(uint8_t* p, uint32_t value) {
  p[0] = static_cast<uint8_t>(value >> 8);
  p[1] = static_cast<uint8_t>(value);
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

struct PacketHead {
  size_t header_size;  // 12 for version 0, 13 for version 1
  size_t length;       // header and payload
  int number;          // the stream number
  int sub_stream;      // of a stream that carries several encodings, else 0
  bool key;            // starts a key frame or an audio block
};

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

int StreamId(const PacketHead& head) { return head.number + (head.sub_stream << 16); }

}  // namespace

ContentKind KindOfContent(std::string_view head) {
  if (head.substr(0, 4) == ".RMF") return ContentKind::kRealMedia;
  if (head.substr(0, 4) == ".ra\xfd") return ContentKind::kOldRealAudio;
  for (char c : head) {
    auto byte = static_cast<unsigned char>(c);
    // Tab, line feed, vertical tab, form feed, carriage return and DOS's end-of-file mark.
    bool allowed = byte >= 0x20 || (byte >= 0x09 && byte <= 0x0D) || byte == 0x1A;
    if (!allowed) return ContentKind::kOther;
  }
  return ContentKind::kText;
}

bool ByteSource::Skip(uint64_t count) {
  uint8_t buffer[4096];
  while (count > 0) {
    size_t got = Read(buffer, static_cast<size_t>(std::min<uint64_t>(count, sizeof buffer)));
    if (got == 0) return false;
    count -= got;
  }
  return true;
}

bool Lookahead::Want(size_t count) {
  while (Size() < count) {
    if (at_ > 0) {
      ahead_.erase(ahead_.begin(), ahead_.begin() + static_cast<std::ptrdiff_t>(at_));
      at_ = 0;
    }
    size_t had = ahead_.size();
    size_t block = std::max(kReadBlock, count - had);
    ahead_.resize(had + block);
    size_t got = source_->Read(ahead_.data() + had, block);
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
  if (!source_->Skip(count)) return false;
  used_ += count;
  return true;
}

size_t RealMediaNormaliser::Read(uint8_t* into, size_t most) {
  while (out_at_ == out_.size()) {
    out_.clear();
    out_at_ = 0;
    if (!Produce()) return 0;
  }
  size_t count = std::min(most, out_.size() - out_at_);
  std::memcpy(into, out_.data() + out_at_, count);
  out_at_ += count;
  return count;
}

void RealMediaNormaliser::Emit(size_t count) {
  out_.insert(out_.end(), in_.Data(), in_.Data() + count);
  in_.Drop(count);
}

// Anything the rules do not know (damage, a chunk of another kind among the packets) goes to
// FFmpeg as it is: its demuxer finds its way through damaged files by itself.
void RealMediaNormaliser::PassTheRest() {
  Emit(in_.Size());
  state_ = State::kRest;
}

bool RealMediaNormaliser::Produce() {
  switch (state_) {
    case State::kStart:
    case State::kHeaders: {
      if (!in_.Want(8)) break;
      const uint8_t* chunk = in_.Data();
      if (state_ == State::kStart && !IsTag(chunk, ".RMF")) break;
      state_ = State::kHeaders;
      if (IsTag(chunk, "DATA")) {
        if (!in_.Want(kDataHeaderSize)) break;
        Emit(kDataHeaderSize);
        state_ = State::kPackets;
        return true;
      }
      uint32_t size = Be32(chunk + 4);
      if (size < 8 || size > kLargestHeaderChunk || !in_.Want(size)) break;
      if (IsTag(in_.Data(), "MDPR")) NoteStreamHeader(in_.Data(), size, rule_streams_);
      Emit(size);
      return true;
    }
    case State::kPackets: {
      if (!in_.Want(13) && !in_.Want(12)) break;
      if (IsTag(in_.Data(), "DATA")) {
        // The next data chunk's header: its packets simply follow the ones before.
        if (!in_.Want(kDataHeaderSize)) break;
        in_.Drop(kDataHeaderSize);
        return true;
      }
      PacketHead head{};
      if (!ReadPacketHead(in_.Data(), in_.Size(), rule_streams_, head) || !in_.Want(head.length)) {
        break;
      }
      if (head.header_size == 12) {
        Emit(head.length);
        return true;
      }
      const uint8_t* p = in_.Data();
      uint8_t header[12];
      PutBe16(header, 0);
      PutBe16(header + 2, static_cast<uint32_t>(head.length - 1));
      std::memcpy(header + 4, p + 4, 6);  // stream number and time
      bool several = rule_streams_.count(head.number) != 0;
      header[10] = static_cast<uint8_t>(several ? (head.sub_stream + 1) << 1 : 0);
      header[11] = head.key ? 2 : 0;
      out_.insert(out_.end(), header, header + sizeof header);
      in_.Drop(13);
      Emit(head.length - 13);
      return true;
    }
    case State::kRest: {
      size_t had = out_.size();
      out_.resize(had + kReadBlock);
      size_t got = in_.Source().Read(out_.data() + had, kReadBlock);
      out_.resize(had + got);
      return got > 0;
    }
  }
  PassTheRest();
  return !out_.empty() || Produce();
}

std::map<int, int> RealMediaNormaliser::CountPackets(std::unique_ptr<ByteSource> source) {
  std::map<int, int> counts;
  Lookahead in(std::move(source));
  RuleStreams rule_streams;
  if (!in.Want(8) || !IsTag(in.Data(), ".RMF")) return counts;
  uint64_t chunk_end = 0;  // of the data chunk being counted; 0 when it does not say
  uint64_t chunk_start = 0;
  for (;;) {
    if (!in.Want(8)) return counts;
    if (IsTag(in.Data(), "DATA")) {
      uint32_t size = Be32(in.Data() + 4);
      chunk_start = in.Used();
      chunk_end = size >= kDataHeaderSize ? chunk_start + size : 0;
      if (!in.Skip(kDataHeaderSize)) return counts;
      continue;
    }
    PacketHead head{};
    if (chunk_start != 0 && (in.Want(13) || in.Want(12)) &&
        ReadPacketHead(in.Data(), in.Size(), rule_streams, head)) {
      ++counts[StreamId(head)];
      if (!in.Skip(head.length)) return counts;
      // Far enough into this chunk: on to the next one, when the chunk says where it ends.
      if (in.Used() - chunk_start > kCountedBytesPerChunk && chunk_end > in.Used()) {
        if (!in.Skip(chunk_end - in.Used())) return counts;
      }
      continue;
    }
    uint32_t size = Be32(in.Data() + 4);
    if (chunk_start != 0 || size < 8 || size > kLargestHeaderChunk) return counts;  // the index
    if (!in.Want(size)) return counts;
    if (IsTag(in.Data(), "MDPR")) NoteStreamHeader(in.Data(), size, rule_streams);
    in.Drop(size);
  }
}

}  // namespace quorvane::player
