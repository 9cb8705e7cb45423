// RealMedia files as Real's own encoders wrote them, rewritten on the fly into the form FFmpeg's
// rm demuxer reads, and what a file's first bytes say it holds. Pure byte rules over a byte
// source; the player's worker thread uses them.
//
// Helix Producer writes packets with version-1 headers (13 bytes, carrying an ASM rule where the
// older ones carry a packet group), and a SureStream file may keep each bit rate's packets in a
// data chunk of its own. FFmpeg's demuxer finds neither: it skips version-1 packets and reads the
// header of a second data chunk as a packet. The normaliser hands it version-0 packets in one
// data chunk instead, everything else byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

namespace quorvane::player {

enum class ContentKind {
  kRealMedia,     // ".RMF": a RealMedia file
  kOldRealAudio,  // ".ra\xfd": a RealAudio file of the first versions
  kText,          // no NUL or other control bytes: a metafile, whatever its name
  kOther,         // anything else: FFmpeg decides
};

// What a file holds, from its first bytes (up to 64 KiB of them).
ContentKind KindOfContent(std::string_view head);

// Where the player's bytes come from.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to most bytes into into; 0 at the end of the file or on an error.
  virtual size_t Read(uint8_t* into, size_t most) = 0;
  // Skips count bytes; false when the file ends first. Reads and drops them unless overridden.
  virtual bool Skip(uint64_t count);
  // Back to the first byte, so that the file is read again without being opened again; false
  // when that fails (the source is then at no known place).
  virtual bool Rewind() { return false; }
};

// Packets per stream, keyed by the stream id FFmpeg's demuxer gives: the stream number, plus the
// sub-stream << 16 for a stream that carries several encodings. Only the first MiB of each data
// chunk is looked at: the first packets tell which streams carry any. A data chunk that does not
// give its size is read through; the source decides whether that may be stopped. Reads the
// source from where it is, and leaves it wherever counting stopped.
std::map<int, int> CountPackets(ByteSource& source);

class RealMediaReader;

// The rewritten file, as a source of its own.
class RealMediaNormaliser final : public ByteSource {
 public:
  explicit RealMediaNormaliser(std::unique_ptr<ByteSource> source);
  ~RealMediaNormaliser() override;
  RealMediaNormaliser(const RealMediaNormaliser&) = delete;
  RealMediaNormaliser& operator=(const RealMediaNormaliser&) = delete;

  // Up to most bytes of the rewritten file; 0 at its end.
  size_t Read(uint8_t* into, size_t most) override;

 private:
  // Adds the next piece of the file to out_; false once nothing is left.
  bool Produce();
  void Emit(size_t count);

  std::unique_ptr<ByteSource> source_;
  std::unique_ptr<RealMediaReader> reader_;
  bool passing_ = false;      // past what the rules know: the rest goes as it is
  int data_headers_ = 0;      // seen so far
  std::vector<uint8_t> out_;  // rewritten, not given out yet
  size_t out_at_ = 0;
};

}  // namespace quorvane::player
