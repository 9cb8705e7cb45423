#include "player/clip_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/mem.h>
}

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <map>

#include "player/audio_output.h"
#include "player/picture_converter.h"
#include "player/real_media.h"
#include "player/sound_converter.h"
#include "player/stream_choice.h"

namespace quorvane::player {

namespace {

// A broken clip may make every packet fail; after this many failures in a row it has ended.
constexpr int kMostFailuresInARow = 200;
// A sound stream that fails this many packets before giving any sound gives way to the next.
constexpr int kSoundFailuresBeforeNext = 8;
// Seconds a clip may run past the length in its header.
constexpr double kLengthAllowance = 2.0;
constexpr int kIoBufferSize = 64 * 1024;
// Picture packets held back while only sound is decoded: seconds of any clip's pictures.
constexpr size_t kMostHeldBytes = 16 * 1024 * 1024;
// The largest block FFmpeg may ask for: a picture of the largest size and then some. A damaged
// header can otherwise make it ask for a gigabyte for one packet.
constexpr size_t kLargestAllocation = 192 * 1024 * 1024;

struct FormatCloser {
  void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecFreer {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFreer {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFreer {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};

using CodecPtr = std::unique_ptr<AVCodecContext, CodecFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;

CodecPtr OpenDecoder(const AVStream* stream) {
  const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
  if (!codec) return nullptr;
  CodecPtr context(avcodec_alloc_context3(codec));
  if (!context || avcodec_parameters_to_context(context.get(), stream->codecpar) < 0) {
    return nullptr;
  }
  context->pkt_timebase = stream->time_base;
  // One decoding thread: clips are small and the user-interface thread must stay light.
  context->thread_count = 1;
  if (avcodec_open2(context.get(), codec, nullptr) < 0) return nullptr;
  return context;
}

// Reads stop once the clip is replaced or the player closes: a slow file (a share that hangs)
// holds them up for one read at most, and a scan of a whole file ends there too.
class InterruptibleSource final : public ByteSource {
 public:
  InterruptibleSource(std::unique_ptr<ByteSource> source, std::function<bool()> interrupted)
      : source_(std::move(source)), interrupted_(std::move(interrupted)) {}
  size_t Read(uint8_t* into, size_t most) override {
    return interrupted_() ? 0 : source_->Read(into, most);
  }
  bool Skip(uint64_t count) override { return !interrupted_() && source_->Skip(count); }

 private:
  std::unique_ptr<ByteSource> source_;
  std::function<bool()> interrupted_;
};

// A file handed to FFmpeg's demuxer through our own reading: every byte comes from a ClipFiles
// source (a RealMedia file through the normaliser, real_media.h).
class SourceIo {
 public:
  explicit SourceIo(std::unique_ptr<ByteSource> source) : source_(std::move(source)) {
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferSize));
    if (buffer)
      context_ = avio_alloc_context(buffer, kIoBufferSize, 0, this, &Read, nullptr, nullptr);
    if (!context_) av_free(buffer);
  }
  ~SourceIo() {
    if (!context_) return;
    av_freep(&context_->buffer);
    avio_context_free(&context_);
  }
  SourceIo(const SourceIo&) = delete;
  SourceIo& operator=(const SourceIo&) = delete;

  AVIOContext* Context() const { return context_; }

 private:
  // Called from FFmpeg's C code: nothing may be thrown through it.
  static int Read(void* self, uint8_t* into, int size) noexcept {
    try {
      size_t got = static_cast<SourceIo*>(self)->source_->Read(into, static_cast<size_t>(size));
      return got > 0 ? static_cast<int>(got) : AVERROR_EOF;
    } catch (const std::bad_alloc&) {
      return AVERROR(ENOMEM);
    } catch (...) {
      return AVERROR_EXTERNAL;
    }
  }

  std::unique_ptr<ByteSource> source_;
  AVIOContext* context_ = nullptr;
};

// An open file: FFmpeg's demuxer reading through our I/O. The demuxer is closed before the I/O
// it reads through (members go in reverse order), and an input is never assigned over: a new
// one replaces it whole.
struct Input {
  Input() = default;
  Input(const Input&) = delete;
  Input& operator=(const Input&) = delete;

  bool real_media = false;  // a RealMedia file, read through the normaliser
  std::unique_ptr<SourceIo> io;
  std::unique_ptr<AVFormatContext, FormatCloser> format;
};
using InputPtr = std::unique_ptr<Input>;

InputPtr OpenInput(const std::string& path, const ClipFiles& files,
                   const std::function<bool()>& interrupted, AVIOInterruptCB interrupt) {
  std::optional<std::string> head = files.ReadHead(path, 4);
  if (!head) return nullptr;
  // The file may have gone, been locked or lost its share since its head was read.
  std::unique_ptr<ByteSource> file = files.Open(path);
  if (!file) return nullptr;
  bool real_media = KindOfContent(*head) == ContentKind::kRealMedia;
  std::unique_ptr<ByteSource> source =
      std::make_unique<InterruptibleSource>(std::move(file), interrupted);
  if (real_media) source = std::make_unique<RealMediaNormaliser>(std::move(source));
  auto input = std::make_unique<Input>();
  input->real_media = real_media;
  input->io = std::make_unique<SourceIo>(std::move(source));
  if (!input->io->Context()) return nullptr;
  AVFormatContext* format = avformat_alloc_context();
  if (!format) return nullptr;
  format->interrupt_callback = interrupt;
  format->pb = input->io->Context();
  format->flags |= AVFMT_FLAG_CUSTOM_IO;
  // RealMedia files go to the rm demuxer; anything else is probed (old .ra files are found).
  const AVInputFormat* forced = real_media ? av_find_input_format("rm") : nullptr;
  // On failure avformat_open_input frees the context itself.
  if (avformat_open_input(&format, "", forced, nullptr) < 0) return nullptr;
  input->format.reset(format);
  if (avformat_find_stream_info(format, nullptr) < 0) return nullptr;
  return input;
}

// Which streams of a RealMedia file carry packets; empty (all may) when it cannot be read.
std::map<int, int> CountPackets(const std::string& path, const ClipFiles& files,
                                const std::function<bool()>& interrupted) {
  std::unique_ptr<ByteSource> file = files.Open(path);
  if (!file) return {};
  return RealMediaNormaliser::CountPackets(
      std::make_unique<InterruptibleSource>(std::move(file), interrupted));
}

// The streams of one kind that can be played, best first.
std::vector<int> Candidates(const AVFormatContext* format, AVMediaType type,
                            const std::map<int, int>& packets) {
  int preferred =
      av_find_best_stream(const_cast<AVFormatContext*>(format), type, -1, -1, nullptr, 0);
  std::vector<StreamFacts> facts;
  for (unsigned i = 0; i < format->nb_streams; ++i) {
    const AVStream* stream = format->streams[i];
    const AVCodecParameters* p = stream->codecpar;
    if (p->codec_type != type) continue;
    if (type == AVMEDIA_TYPE_VIDEO && (stream->disposition & AV_DISPOSITION_ATTACHED_PIC)) continue;
    if (type == AVMEDIA_TYPE_AUDIO && (p->sample_rate <= 0 || p->ch_layout.nb_channels <= 0)) {
      continue;
    }
    StreamFacts f;
    f.index = static_cast<int>(i);
    f.decodable = avcodec_find_decoder(p->codec_id) != nullptr;
    f.has_packets = packets.empty() || packets.count(stream->id) != 0;
    f.preferred = f.index == preferred;
    f.bit_rate = p->bit_rate;
    f.sample_rate = p->sample_rate;
    f.channels = p->ch_layout.nb_channels;
    f.pixels = static_cast<int64_t>(p->width) * p->height;
    facts.push_back(f);
  }
  return RankStreams(std::move(facts));
}

class FFmpegClipDecoder final : public ClipDecoder {
 public:
  FFmpegClipDecoder(std::function<bool()> interrupted, std::shared_ptr<const ClipFiles> files)
      : interrupted_(std::move(interrupted)), files_(std::move(files)) {}

  bool Open(const std::string& path) {
    path_ = path;
    input_ = OpenInput(path, *files_, interrupted_, Interruption());
    if (!input_) return false;
    AVFormatContext* format = input_->format.get();
    // A damaged clip can decode into far more than it holds; it ends a little after the length
    // its header gives, when it gives one.
    if (format->duration != AV_NOPTS_VALUE && format->duration > 0) {
      latest_time_ = static_cast<double>(format->duration) / AV_TIME_BASE + kLengthAllowance;
    }
    origin_ = format->start_time != AV_NOPTS_VALUE
                  ? static_cast<double>(format->start_time) / AV_TIME_BASE
                  : 0.0;

    // Which streams carry packets at all is known of RealMedia files only.
    std::map<int, int> packets;
    if (input_->real_media) packets = CountPackets(path, *files_, interrupted_);
    for (int index : Candidates(format, AVMEDIA_TYPE_VIDEO, packets)) {
      video_ = OpenDecoder(format->streams[index]);
      if (video_) {
        video_index_ = index;
        break;
      }
    }
    sound_candidates_ = Candidates(format, AVMEDIA_TYPE_AUDIO, packets);
    OpenNextSound(format);
    if (!video_ && !audio_) return false;
    if (video_) {
      AVRational rate = av_guess_frame_rate(format, format->streams[video_index_], nullptr);
      if (rate.num > 0 && rate.den > 0)
        frame_duration_ = std::clamp(av_q2d(av_inv_q(rate)), 0.005, 1.0);
    }
    frame_.reset(av_frame_alloc());
    packet_.reset(av_packet_alloc());
    return frame_ && packet_;
  }

  bool HasPicture() const override { return video_ != nullptr; }
  bool HasSound() const override { return audio_ != nullptr; }
  double FrameDuration() const override { return frame_duration_; }

  Step Next(int width, int height, Picture& picture, Sound& sound, bool pictures) override {
    int failures = 0;
    for (;;) {
      if (pictures && video_ && avcodec_receive_frame(video_.get(), frame_.get()) == 0) {
        bool ok = ConvertPicture(width, height, picture);
        av_frame_unref(frame_.get());
        if (ok && picture.time > latest_time_) return Step::kEnd;
        if (ok) return Step::kPicture;
        continue;
      }
      if (audio_) {
        int received = avcodec_receive_frame(audio_.get(), frame_.get());
        if (received == 0) {
          bool ok = ResampleSound(sound);
          av_frame_unref(frame_.get());
          if (ok && sound.time > latest_time_) return Step::kEnd;
          if (ok) return Step::kSound;
          continue;
        }
        if (received != AVERROR(EAGAIN) && received != AVERROR_EOF) SoundFailed();
      }
      if (interrupted_()) return Step::kEnd;
      if (!pictures && video_ && (flushing_ || held_bytes_ > kMostHeldBytes)) {
        return Step::kPicturesWanted;
      }
      if (drained_) return Step::kEnd;
      if (!FeedDecoders(pictures)) {
        if (++failures > kMostFailuresInARow) return Step::kEnd;
      } else {
        failures = 0;
      }
    }
  }

 private:
  AVIOInterruptCB Interruption() { return AVIOInterruptCB{&FFmpegClipDecoder::Interrupt, this}; }
  static int Interrupt(void* self) {
    return static_cast<FFmpegClipDecoder*>(self)->interrupted_() ? 1 : 0;
  }

  // Opens the best sound stream not tried yet; without one the clip plays on without sound.
  void OpenNextSound(const AVFormatContext* format) {
    audio_.reset();
    audio_index_ = -1;
    while (next_sound_ < sound_candidates_.size()) {
      int index = sound_candidates_[next_sound_++];
      audio_ = OpenDecoder(format->streams[index]);
      if (audio_) {
        audio_index_ = index;
        return;
      }
    }
  }

  // A sound stream that gives nothing but errors from its start is one this build cannot
  // decode after all: the next one plays instead, read from the file's start again, with the
  // pictures already shown left out.
  void SoundFailed() {
    if (sound_given_ || ++sound_failures_ < kSoundFailuresBeforeNext) return;
    sound_failures_ = 0;
    InputPtr again = OpenInput(path_, *files_, interrupted_, Interruption());
    if (!again) {
      audio_.reset();
      audio_index_ = -1;
      return;
    }
    OpenNextSound(again->format.get());
    if (!audio_) return;  // no sound left to try: the old input reads on for the pictures
    // The picture decoder goes on from the packet after the last one it was given. The old
    // input goes whole, its demuxer before its I/O.
    input_ = std::move(again);
    skip_video_packets_ = video_packets_;
    video_packets_ = 0;
    sound_from_ = next_picture_time_;
    next_sound_time_ = next_picture_time_;
    flushing_ = drained_ = video_flushed_ = false;
  }

  // Reads one packet into its decoder, or holds a picture packet back while pictures are not
  // wanted, or flushes the decoders at the end. False when nothing usable went in.
  bool FeedDecoders(bool pictures) {
    if (pictures && !held_.empty()) {
      PacketPtr held = std::move(held_.front());
      held_.pop_front();
      held_bytes_ -= static_cast<size_t>(held->size);
      return avcodec_send_packet(video_.get(), held.get()) >= 0;
    }
    if (flushing_) {
      // The end of the file, or a read error: the picture decoder gives out what it holds.
      if (video_ && !video_flushed_) avcodec_send_packet(video_.get(), nullptr);
      video_flushed_ = true;
      drained_ = true;
      return true;
    }
    if (av_read_frame(input_->format.get(), packet_.get()) < 0) {
      if (audio_) avcodec_send_packet(audio_.get(), nullptr);
      flushing_ = true;
      return true;
    }
    bool ok = true;
    // After a new start for another sound stream, the pictures shown already are left out.
    if (packet_->stream_index == video_index_ && video_ &&
        video_packets_++ >= skip_video_packets_) {
      if (pictures && held_.empty()) {
        ok = avcodec_send_packet(video_.get(), packet_.get()) >= 0;
      } else if (PacketPtr held{av_packet_alloc()}) {
        held_bytes_ += static_cast<size_t>(packet_->size);
        av_packet_move_ref(held.get(), packet_.get());
        held_.push_back(std::move(held));
      }
    } else if (packet_->stream_index == audio_index_ && audio_) {
      ok = avcodec_send_packet(audio_.get(), packet_.get()) >= 0;
      if (!ok) SoundFailed();
    }
    av_packet_unref(packet_.get());
    return ok;
  }

  // Seconds from the clip's start that the frame's stamp gives, or nothing without a stamp.
  std::optional<double> StampOf(const AVFrame* frame, int stream_index) const {
    int64_t stamp = frame->best_effort_timestamp;
    if (stamp == AV_NOPTS_VALUE) return std::nullopt;
    double time =
        static_cast<double>(stamp) * av_q2d(input_->format->streams[stream_index]->time_base);
    return std::isfinite(time) ? std::optional<double>(time - origin_) : std::nullopt;
  }

  // The frame's time from its stamp, kept to the stream's own pace: a stamp that is missing, goes
  // back (some muxers stamp every sound packet 0) or leaps seconds ahead (a damaged file) gives
  // way to the time the previous frame's length leads to.
  double TimeOf(const AVFrame* frame, int stream_index, double expected) const {
    constexpr double kLeastBack = 0.005;
    constexpr double kMostAhead = 5.0;
    std::optional<double> time = StampOf(frame, stream_index);
    bool believable = time && *time >= expected - kLeastBack && *time <= expected + kMostAhead;
    return believable ? std::max(0.0, *time) : expected;
  }

  bool ConvertPicture(int width, int height, Picture& picture) {
    if (!converter_.Convert(frame_.get(), width, height, picture)) return false;
    next_picture_time_ = TimeOf(frame_.get(), video_index_, next_picture_time_);
    picture.time = next_picture_time_;
    next_picture_time_ += frame_duration_;
    return true;
  }

  bool ResampleSound(Sound& sound) {
    AVFrame* f = frame_.get();
    // After a new start for another sound stream, its sound before the pictures' time is left out.
    std::optional<double> stamp = StampOf(f, audio_index_);
    if (stamp && *stamp < sound_from_ - 0.05) return false;
    if (!sound_converter_.Convert(f, sound.samples)) return false;
    sound.format = sound_converter_.Format();
    sound_given_ = true;
    next_sound_time_ = TimeOf(f, audio_index_, next_sound_time_);
    sound.time = next_sound_time_;
    next_sound_time_ += sound.Seconds();
    return true;
  }

  std::function<bool()> interrupted_;
  std::shared_ptr<const ClipFiles> files_;
  std::string path_;
  InputPtr input_;
  CodecPtr video_;
  CodecPtr audio_;
  int video_index_ = -1;
  int audio_index_ = -1;
  std::vector<int> sound_candidates_;
  size_t next_sound_ = 0;
  int sound_failures_ = 0;
  bool sound_given_ = false;
  double sound_from_ = 0;
  uint64_t video_packets_ = 0;
  uint64_t skip_video_packets_ = 0;
  std::unique_ptr<AVFrame, FrameFreer> frame_;
  PacketPtr packet_;
  std::deque<PacketPtr> held_;  // picture packets held back while only sound is decoded
  size_t held_bytes_ = 0;
  PictureConverter converter_;
  SoundConverter sound_converter_;
  double origin_ = 0;
  double latest_time_ = std::numeric_limits<double>::infinity();
  double frame_duration_ = 1.0 / 15;
  double next_picture_time_ = 0;
  double next_sound_time_ = 0;
  bool flushing_ = false;
  bool video_flushed_ = false;
  bool drained_ = false;
};

}  // namespace

std::unique_ptr<ClipDecoder> ClipDecoder::Open(const std::string& utf8_path,
                                               std::function<bool()> interrupted,
                                               std::shared_ptr<const ClipFiles> files) {
  av_log_set_level(AV_LOG_QUIET);
  av_max_alloc(kLargestAllocation);
  auto decoder = std::make_unique<FFmpegClipDecoder>(std::move(interrupted), std::move(files));
  if (!decoder->Open(utf8_path)) return nullptr;
  return decoder;
}

}  // namespace quorvane::player
