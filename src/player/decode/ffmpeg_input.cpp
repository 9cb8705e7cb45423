#include "player/decode/ffmpeg_input.h"

extern "C" {
#include <libavutil/mem.h>
}

#include <new>

#include "player/source/real_media.h"

namespace quorvane::player {

namespace {

constexpr int kIoBufferSize = 64 * 1024;

}  // namespace

// A byte source handed to FFmpeg as its AVIOContext.
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

Input::Input() = default;
Input::~Input() = default;

InputPtr OpenInput(std::unique_ptr<ByteSource> source, bool real_media, AVIOInterruptCB interrupt) {
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

}  // namespace quorvane::player
