// The one reader of RealMedia's layout: the file header, the header chunks, the data chunks and
// their packets, one piece at a time over a byte source. The normaliser rewrites the pieces it
// reads for FFmpeg; the packet count only looks at them. Pure byte rules; the player's worker
// thread uses them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "player/source/real_media.h"

namespace quorvane::player {

// Per stream number that carries several encodings (MLTI): the sub-stream of each ASM rule.
using RuleStreams = std::map<int, std::vector<int>>;

// Bytes read from a source and not used yet, with the count of those used so far. The source is
// borrowed: it outlives the lookahead.
class Lookahead {
 public:
  explicit Lookahead(ByteSource& source) : source_(source) {}
  // At least count bytes ahead, or false at the end of the file.
  bool Want(size_t count);
  const uint8_t* Data() const { return ahead_.data() + at_; }
  size_t Size() const { return ahead_.size() - at_; }
  void Drop(size_t count);
  // Drops count bytes, reading the source only past what is ahead already.
  bool Skip(uint64_t count);
  uint64_t Used() const { return used_; }

 private:
  ByteSource& source_;
  std::vector<uint8_t> ahead_;
  size_t at_ = 0;
  uint64_t used_ = 0;
};

struct PacketHead {
  size_t header_size = 0;  // 12 for version 0, 13 for version 1
  size_t length = 0;       // header and payload
  int number = 0;          // the stream number
  int sub_stream = 0;      // of a stream that carries several encodings, else 0
  bool key = false;        // starts a key frame or an audio block
  // The stream id FFmpeg's demuxer gives the packet's stream.
  int StreamId() const { return number + (sub_stream << 16); }
};

// "DATA", its size, a version, the packet count and the next data chunk's offset.
constexpr size_t kDataHeaderSize = 18;

class RealMediaReader {
 public:
  enum class Piece {
    kHeaderChunk,  // the file header (".RMF", always first), properties, a stream header,
                   // metadata: before the first data chunk
    kDataHeader,   // a data chunk's 18-byte header; packets follow
    kPacket,       // a packet's header is ahead (its payload may not be read yet)
    kUnknown,      // bytes the rules do not know: damage, the index, the file's end
  };

  explicit RealMediaReader(ByteSource& source) : in_(source) {}

  // What the bytes ahead are, without using them. A header chunk is ahead whole, a data header's
  // 18 bytes are, of a packet only its header.
  Piece Next();
  // The size of the header chunk ahead, or the size the data chunk ahead says it has (one
  // smaller than its header says nothing); the packet ahead.
  size_t ChunkSize() const { return chunk_size_; }
  const PacketHead& Packet() const { return packet_; }
  // The ASM rules' sub-streams of every stream header read so far.
  const RuleStreams& Rules() const { return rule_streams_; }

  Lookahead& In() { return in_; }

 private:
  Piece HeaderPiece();
  Piece DataHeader();

  Lookahead in_;
  bool started_ = false;
  bool in_data_ = false;
  size_t chunk_size_ = 0;
  PacketHead packet_;
  RuleStreams rule_streams_;
};

}  // namespace quorvane::player
