#include "player/source/real_media.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace quorvane::player {
namespace {

// Bytes handed out a few at a time, as a file read in small blocks would be.
class StringSource final : public ByteSource {
 public:
  explicit StringSource(std::string bytes, size_t block = 7)
      : bytes_(std::move(bytes)), block_(block) {}
  size_t Read(uint8_t* into, size_t most) override {
    size_t count = std::min({most, block_, bytes_.size() - at_});
    std::memcpy(into, bytes_.data() + at_, count);
    at_ += count;
    return count;
  }

 private:
  std::string bytes_;
  size_t block_;
  size_t at_ = 0;
};

std::string Be16(int value) { return {static_cast<char>(value >> 8), static_cast<char>(value)}; }
std::string Be32(uint32_t value) {
  return Be16(static_cast<int>(value >> 16)) + Be16(static_cast<int>(value & 0xFFFF));
}
std::string Chunk(const std::string& tag, const std::string& body) {
  return tag + Be32(static_cast<uint32_t>(8 + body.size())) + body;
}

// A stream header; with rule_streams, one that carries several encodings (MLTI).
std::string StreamHeader(int number, const std::vector<int>& rule_streams = {}) {
  std::string type =
      "\xfd"
      "ar.";
  if (!rule_streams.empty()) {
    type = "MLTI" + Be16(static_cast<int>(rule_streams.size()));
    for (int s : rule_streams) type += Be16(s);
    type += Be16(2);
  }
  std::string body = Be16(0) + Be16(number) + std::string(28, '\0');
  body += std::string("\x05") + "Audio";
  body += std::string("\x09") + "audio/x-x";
  body += Be32(static_cast<uint32_t>(type.size())) + type;
  return Chunk("MDPR", body);
}

std::string DataHeader(uint32_t size, uint32_t packets) {
  return "DATA" + Be32(size) + Be16(0) + Be32(packets) + Be32(0);
}

std::string PacketV0(int stream, uint32_t time, int group, int flags, const std::string& payload) {
  return Be16(0) + Be16(static_cast<int>(12 + payload.size())) + Be16(stream) + Be32(time) +
         static_cast<char>(group) + static_cast<char>(flags) + payload;
}

std::string PacketV1(int stream, uint32_t time, int rule, int flags, const std::string& payload) {
  return Be16(1) + Be16(static_cast<int>(13 + payload.size())) + Be16(stream) + Be32(time) +
         Be16(rule) + static_cast<char>(flags) + payload;
}

std::string Normalised(const std::string& file) {
  RealMediaNormaliser normaliser(std::make_unique<StringSource>(file));
  std::string out;
  uint8_t block[5];
  while (size_t got = normaliser.Read(block, sizeof block)) out.append(block, block + got);
  return out;
}

const std::string kFileHeader = Chunk(".RMF", Be16(0) + Be32(0) + Be32(4));
const std::string kProperties = Chunk("PROP", Be16(0) + std::string(40, '\0'));

TEST(RealMedia, TellsAFilesKindByItsFirstBytes) {
  EXPECT_EQ(KindOfContent(".RMF\0\0\0\x12"), ContentKind::kRealMedia);
  EXPECT_EQ(KindOfContent(std::string(".ra\xfd\0\x04", 6)), ContentKind::kOldRealAudio);
  EXPECT_EQ(KindOfContent("rtsp://h/a.rm\r\nC:\\clips\\b.rm\r\n"), ContentKind::kText);
  EXPECT_EQ(KindOfContent("C:\\\x95\x5C\\a.rm\t\f\x1A"), ContentKind::kText);  // Shift-JIS
  EXPECT_EQ(KindOfContent(""), ContentKind::kText);
  EXPECT_EQ(KindOfContent(std::string("ID3\x03\0\0", 6)), ContentKind::kOther);
  EXPECT_EQ(KindOfContent("a.rm\x01"), ContentKind::kOther);
  EXPECT_EQ(KindOfContent(".rmf"), ContentKind::kText);  // not the magic: letter case counts
}

TEST(RealMedia, RewritesVersionOnePacketsAndJoinsDataChunks) {
  std::string headers = kFileHeader + kProperties + StreamHeader(0) + StreamHeader(1);
  std::string first = PacketV1(0, 0, 0, 3, "abcd") + PacketV1(0, 279, 1, 3, "efgh");
  std::string second = PacketV1(1, 0, 0, 2, "ijklmn") + PacketV0(1, 100, 0, 0, "op");
  std::string file = headers + DataHeader(static_cast<uint32_t>(18 + first.size()), 2) + first +
                     DataHeader(static_cast<uint32_t>(18 + second.size()), 2) + second +
                     Chunk("INDX", Be16(0) + Be32(0) + Be16(0) + Be32(0));

  std::string want = headers + DataHeader(static_cast<uint32_t>(18 + first.size()), 2) +
                     // The even rule starts a block: the key flag; the odd one does not.
                     PacketV0(0, 0, 0, 2, "abcd") + PacketV0(0, 279, 0, 0, "efgh") +
                     PacketV0(1, 0, 0, 2, "ijklmn") + PacketV0(1, 100, 0, 0, "op") +
                     Chunk("INDX", Be16(0) + Be32(0) + Be16(0) + Be32(0));
  EXPECT_EQ(Normalised(file), want);
  StringSource source(file);
  std::map<int, int> counts = CountPackets(source);
  EXPECT_EQ(counts, (std::map<int, int>{{0, 2}, {1, 2}}));
}

TEST(RealMedia, GivesTheSubStreamOfEachRuleOfAStreamWithSeveralEncodings) {
  // Rules 0 and 1 belong to sub-stream 0, rules 2 and 3 to sub-stream 1.
  std::string headers = kFileHeader + kProperties + StreamHeader(0, {0, 0, 1, 1});
  std::string packets = PacketV1(0, 0, 2, 3, "x") + PacketV1(0, 0, 0, 3, "y") +
                        PacketV1(0, 10, 3, 3, "z") + PacketV1(0, 10, 9, 3, "?");
  std::string file = headers + DataHeader(static_cast<uint32_t>(18 + packets.size()), 4) + packets;
  // FFmpeg reads the sub-stream from the packet group: (group >> 1) - 1.
  std::string want = headers + DataHeader(static_cast<uint32_t>(18 + packets.size()), 4) +
                     PacketV0(0, 0, 4, 2, "x") + PacketV0(0, 0, 2, 2, "y") +
                     PacketV0(0, 10, 4, 0, "z") + PacketV0(0, 10, 2, 0, "?");
  EXPECT_EQ(Normalised(file), want);
  StringSource source(file);
  std::map<int, int> counts = CountPackets(source);
  EXPECT_EQ(counts, (std::map<int, int>{{0, 2}, {0 + (1 << 16), 2}}));
}

TEST(RealMedia, PassesAnythingElseThroughUnchanged) {
  std::string old_audio = std::string(".ra\xfd\0\x04", 6) + std::string(100, '\x55');
  EXPECT_EQ(Normalised(old_audio), old_audio);
  EXPECT_EQ(Normalised("plain text"), "plain text");
  EXPECT_EQ(Normalised(""), "");
  // Damage among the packets: what follows goes to FFmpeg as it is.
  std::string headers = kFileHeader + kProperties + StreamHeader(0);
  std::string damaged = headers + DataHeader(100, 3) + PacketV1(0, 0, 0, 2, "ab") + Be16(7) +
                        "garbage" + PacketV1(0, 5, 0, 2, "cd");
  std::string want = headers + DataHeader(100, 3) + PacketV0(0, 0, 0, 2, "ab") + Be16(7) +
                     "garbage" + PacketV1(0, 5, 0, 2, "cd");
  EXPECT_EQ(Normalised(damaged), want);
  // A file cut in the middle of a packet gives what there is.
  std::string cut = headers + DataHeader(100, 1) + PacketV1(0, 0, 0, 2, "abcdef");
  cut.resize(cut.size() - 3);
  EXPECT_EQ(Normalised(cut), cut);
  StringSource text("text");
  EXPECT_TRUE(CountPackets(text).empty());
}

}  // namespace
}  // namespace quorvane::player
