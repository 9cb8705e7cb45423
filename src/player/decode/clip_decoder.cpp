#include "player/decode/clip_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <limits>
#include <map>
#include <optional>

#include "player/convert/picture_converter.h"
#include "player/convert/sound_converter.h"
#include "player/decode/ffmpeg_handles.h"
#include "player/decode/ffmpeg_input.h"
#include "player/decode/ffmpeg_setup.h"
#include "player/decode/frame_times.h"
#include "player/decode/held_packets.h"
#include "player/decode/stream_candidates.h"
#include "player/source/interruptible_source.h"
#include "player/source/real_media.h"

namespace quorvane::player {

namespace {

// A broken clip may make every packet fail; after this many failures in a row it has ended.
constexpr int kMostFailuresInARow = 200;
// A sound stream that fails this many packets before giving any sound gives way to the next.
constexpr int kSoundFailuresBeforeNext = 8;

std::optional<int64_t> Known(int64_t value) {
  return value == AV_NOPTS_VALUE ? std::nullopt : std::optional<int64_t>(value);
}

// A picture's own reference to the frame it came from (its buffers are counted, not copied);
// nothing when there is no memory for it, and the picture is then only ever shown as converted.
std::shared_ptr<const AVFrame> KeptFrame(const AVFrame* frame) {
  AVFrame* kept = av_frame_clone(frame);
  if (!kept) return nullptr;
  return std::shared_ptr<const AVFrame>(kept, [](const AVFrame* shared) {
    AVFrame* freed = const_cast<AVFrame*>(shared);
    av_frame_free(&freed);
  });
}

class FFmpegClipDecoder final : public ClipDecoder {
 public:
  FFmpegClipDecoder(std::function<bool()> interrupted, std::shared_ptr<const ClipFiles> files)
      : interrupted_(std::move(interrupted)), files_(std::move(files)) {}

  // The file as it was opened, read from its first byte: a RealMedia file's packets are
  // counted first (which streams carry packets at all is known of RealMedia files only), then
  // it is read again from its start by FFmpeg, through the same handle.
  bool Open(OpenedFile file) {
    path_ = file.path;
    bool real_media = file.kind == ContentKind::kRealMedia;
    std::unique_ptr<ByteSource> source =
        std::make_unique<InterruptibleSource>(std::move(file.bytes), interrupted_);
    std::map<int, int> packets;
    if (real_media) {
      packets = CountPackets(*source);
      if (!source->Rewind()) return false;
    }
    input_ = OpenInput(std::move(source), real_media, Interruption());
    if (!input_) return false;
    AVFormatContext* format = input_->format.get();
    latest_time_ = LatestTime(Known(format->duration));
    std::optional<int64_t> start = Known(format->start_time);
    origin_ = start ? static_cast<double>(*start) / AV_TIME_BASE : 0.0;

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
      frame_duration_ = FrameDurationAt(rate.num, rate.den);
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
      if (sound_failed_) NextSoundStream();
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
      if (!pictures && video_ && (phase_ != Phase::kReading || held_.Full())) {
        return Step::kPicturesWanted;
      }
      if (phase_ == Phase::kDrained) return Step::kEnd;
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
  // decode after all: the next one plays instead (NextSoundStream, between packets).
  void SoundFailed() {
    if (sound_given_ || ++sound_failures_ < kSoundFailuresBeforeNext) return;
    sound_failures_ = 0;
    sound_failed_ = true;
  }

  // The next sound stream, read from the file's start again, with the pictures already shown
  // left out. The old input reads on meanwhile, so the file is opened a second time here.
  void NextSoundStream() {
    sound_failed_ = false;
    std::unique_ptr<ByteSource> file = files_->Open(path_);
    InputPtr again =
        file ? OpenInput(std::make_unique<InterruptibleSource>(std::move(file), interrupted_),
                         input_->real_media, Interruption())
             : nullptr;
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
    phase_ = Phase::kReading;
  }

  // Reads one packet into its decoder, or holds a picture packet back while pictures are not
  // wanted, or flushes the decoders at the end. False when nothing usable went in.
  bool FeedDecoders(bool pictures) {
    if (pictures && !held_.Empty()) {
      PacketPtr held = held_.Take();
      return avcodec_send_packet(video_.get(), held.get()) >= 0;
    }
    if (phase_ == Phase::kFlushing) {
      // The end of the file, or a read error: the picture decoder gives out what it holds.
      if (video_) avcodec_send_packet(video_.get(), nullptr);
      phase_ = Phase::kDrained;
      return true;
    }
    if (av_read_frame(input_->format.get(), packet_.get()) < 0) {
      if (audio_) avcodec_send_packet(audio_.get(), nullptr);
      phase_ = Phase::kFlushing;
      return true;
    }
    bool ok = true;
    // After a new start for another sound stream, the pictures shown already are left out.
    if (packet_->stream_index == video_index_ && video_ &&
        video_packets_++ >= skip_video_packets_) {
      if (pictures && held_.Empty()) {
        ok = avcodec_send_packet(video_.get(), packet_.get()) >= 0;
      } else {
        held_.Hold(packet_.get());
      }
    } else if (packet_->stream_index == audio_index_ && audio_) {
      ok = avcodec_send_packet(audio_.get(), packet_.get()) >= 0;
      if (!ok) SoundFailed();
    }
    av_packet_unref(packet_.get());
    return ok;
  }

  std::optional<double> StampOf(const AVFrame* frame, int stream_index) const {
    return StampSeconds(Known(frame->best_effort_timestamp),
                        av_q2d(input_->format->streams[stream_index]->time_base), origin_);
  }

  bool ConvertPicture(int width, int height, Picture& picture) {
    if (!converter_.Convert(frame_.get(), width, height, picture)) return false;
    picture.frame = KeptFrame(frame_.get());
    next_picture_time_ = FrameTime(StampOf(frame_.get(), video_index_), next_picture_time_);
    picture.time = next_picture_time_;
    next_picture_time_ += frame_duration_;
    return true;
  }

  bool ResampleSound(Sound& sound) {
    AVFrame* f = frame_.get();
    std::optional<double> stamp = StampOf(f, audio_index_);
    if (SoundBefore(stamp, sound_from_)) return false;
    if (!sound_converter_.Convert(f, sound.samples)) return false;
    sound.format = sound_converter_.Format();
    sound_given_ = true;
    next_sound_time_ = FrameTime(stamp, next_sound_time_);
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
  FramePtr frame_;
  PacketPtr packet_;
  HeldPackets held_;
  PictureConverter converter_;
  SoundConverter sound_converter_;
  double origin_ = 0;
  double latest_time_ = std::numeric_limits<double>::infinity();
  double frame_duration_ = kDefaultFrameDuration;
  double next_picture_time_ = 0;
  double next_sound_time_ = 0;
  bool sound_failed_ = false;  // the sound stream gives way to the next at the next step
  // Packets are read into the decoders (picture packets held back while pictures are not
  // wanted); at the file's end or a read error the sound decoder is flushed, then the picture
  // decoder, and the decoders are drained of what they hold.
  enum class Phase { kReading, kFlushing, kDrained };
  Phase phase_ = Phase::kReading;
};

}  // namespace

std::unique_ptr<ClipDecoder> ClipDecoder::Open(OpenedFile file, std::function<bool()> interrupted,
                                               std::shared_ptr<const ClipFiles> files) {
  SetUpFFmpeg();
  auto decoder = std::make_unique<FFmpegClipDecoder>(std::move(interrupted), std::move(files));
  if (!decoder->Open(std::move(file))) return nullptr;
  return decoder;
}

std::unique_ptr<ClipDecoder> ClipDecoder::Open(const std::string& utf8_path,
                                               std::function<bool()> interrupted,
                                               std::shared_ptr<const ClipFiles> files) {
  // Four bytes tell a RealMedia file.
  std::optional<OpenedFile> file = OpenWithHead(*files, utf8_path, 4);
  if (!file) return nullptr;
  return Open(std::move(*file), std::move(interrupted), std::move(files));
}

}  // namespace quorvane::player
