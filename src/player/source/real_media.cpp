#include "player/source/real_media.h"

#include <algorithm>
#include <cstring>

#include "player/source/real_media_reader.h"

namespace quorvane::player {

namespace {

// Counting packets looks at this much of each data chunk.
constexpr uint64_t kCountedBytesPerChunk = 1024 * 1024;
constexpr size_t kReadBlock = 64 * 1024;

void PutBe16(uint8_t* p, uint32_t value) {
  p[0] = static_cast<uint8_t>(value >> 8);
  p[1] = static_cast<uint8_t>(value);
}

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

RealMediaNormaliser::RealMediaNormaliser(std::unique_ptr<ByteSource> source)
    : source_(std::move(source)), reader_(std::make_unique<RealMediaReader>(*source_)) {}

RealMediaNormaliser::~RealMediaNormaliser() = default;

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
  Lookahead& in = reader_->In();
  out_.insert(out_.end(), in.Data(), in.Data() + count);
  in.Drop(count);
}

bool RealMediaNormaliser::Produce() {
  if (passing_) {
    size_t had = out_.size();
    out_.resize(had + kReadBlock);
    size_t got = source_->Read(out_.data() + had, kReadBlock);
    out_.resize(had + got);
    return got > 0;
  }
  Lookahead& in = reader_->In();
  switch (reader_->Next()) {
    case RealMediaReader::Piece::kHeaderChunk:
      Emit(reader_->ChunkSize());
      return true;
    case RealMediaReader::Piece::kDataHeader:
      // A later data chunk's header goes: its packets simply follow the ones before.
      if (data_headers_++ == 0) {
        Emit(kDataHeaderSize);
      } else {
        in.Drop(kDataHeaderSize);
      }
      return true;
    case RealMediaReader::Piece::kPacket: {
      const PacketHead& head = reader_->Packet();
      if (!in.Want(head.length)) break;
      if (head.header_size == 12) {
        Emit(head.length);
        return true;
      }
      const uint8_t* p = in.Data();
      uint8_t header[12];
      PutBe16(header, 0);
      PutBe16(header + 2, static_cast<uint32_t>(head.length - 1));
      std::memcpy(header + 4, p + 4, 6);  // stream number and time
      bool several = reader_->Rules().count(head.number) != 0;
      header[10] = static_cast<uint8_t>(several ? (head.sub_stream + 1) << 1 : 0);
      header[11] = head.key ? 2 : 0;
      out_.insert(out_.end(), header, header + sizeof header);
      in.Drop(13);
      Emit(head.length - 13);
      return true;
    }
    case RealMediaReader::Piece::kUnknown:
      break;
  }
  // Anything the rules do not know (damage, a chunk of another kind among the packets) goes to
  // FFmpeg as it is: its demuxer finds its way through damaged files by itself.
  Emit(in.Size());
  passing_ = true;
  return !out_.empty() || Produce();
}

std::map<int, int> CountPackets(ByteSource& source) {
  std::map<int, int> counts;
  RealMediaReader reader(source);
  Lookahead& in = reader.In();
  uint64_t chunk_start = 0;  // of the data chunk being counted
  uint64_t chunk_end = 0;    // of that chunk; 0 when it does not say
  for (;;) {
    switch (reader.Next()) {
      case RealMediaReader::Piece::kHeaderChunk:
        in.Drop(reader.ChunkSize());
        break;
      case RealMediaReader::Piece::kDataHeader:
        chunk_start = in.Used();
        chunk_end = reader.ChunkSize() >= kDataHeaderSize ? chunk_start + reader.ChunkSize() : 0;
        if (!in.Skip(kDataHeaderSize)) return counts;
        break;
      case RealMediaReader::Piece::kPacket:
        ++counts[reader.Packet().StreamId()];
        if (!in.Skip(reader.Packet().length)) return counts;
        // Far enough into this chunk: on to the next one, when the chunk says where it ends.
        if (in.Used() - chunk_start > kCountedBytesPerChunk && chunk_end > in.Used()) {
          if (!in.Skip(chunk_end - in.Used())) return counts;
        }
        break;
      case RealMediaReader::Piece::kUnknown:
        return counts;  // the index, the file's end, or damage
    }
  }
}

}  // namespace quorvane::player
