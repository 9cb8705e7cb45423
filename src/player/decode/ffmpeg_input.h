// An open file for FFmpeg's demuxer, read through our own I/O: every byte comes from a ClipFiles
// source, a RealMedia file through the normaliser (real_media.h).
#pragma once

#include <functional>
#include <memory>
#include <string>

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

// The file opened and its streams found, or nothing. interrupted() is asked before every read;
// interrupt is the same question in FFmpeg's form, for its own loops.
InputPtr OpenInput(const std::string& path, const ClipFiles& files,
                   const std::function<bool()>& interrupted, AVIOInterruptCB interrupt);

}  // namespace quorvane::player
