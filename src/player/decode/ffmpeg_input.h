// An open file for FFmpeg's demuxer, read through our own I/O: every byte comes from a ClipFiles
// source, a RealMedia file through the normaliser (real_media.h).
#pragma once

#include <memory>

#include "player/decode/ffmpeg_handles.h"
#include "player/source/clip_file.h"

namespace quorvane::player {

class SourceIo;

// The demuxer is closed before the I/O it reads through (members go in reverse order), and an
// input is never assigned over: a new one replaces it whole.
struct Input {
  Input();
  ~Input();
  Input(const Input&) = delete;
  Input& operator=(const Input&) = delete;

  bool real_media = false;  // a RealMedia file, read through the normaliser
  std::unique_ptr<SourceIo> io;
  FormatPtr format;
};
using InputPtr = std::unique_ptr<Input>;

// The file's streams found, reading it from where source is (its first byte), or nothing. A
// RealMedia file is read through the normaliser. interrupt is asked in FFmpeg's own loops; the
// source itself stops its reads once the clip is replaced.
InputPtr OpenInput(std::unique_ptr<ByteSource> source, bool real_media, AVIOInterruptCB interrupt);

}  // namespace quorvane::player
