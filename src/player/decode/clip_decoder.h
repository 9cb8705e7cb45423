// One open clip: FFmpeg's demuxer and decoders for its best picture and sound streams, giving
// pictures converted to BGRA at a requested size and sound as float samples at its own rate.
// Used by the player's worker thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "player/convert/picture.h"
#include "player/convert/sound_format.h"
#include "player/source/clip_file.h"

namespace quorvane::player {

class ClipDecoder {
 public:
  struct Sound {
    double time = 0;
    SoundFormat format;          // the same for every piece of a clip
    std::vector<float> samples;  // interleaved
    size_t Frames() const { return format.channels > 0 ? samples.size() / format.channels : 0; }
    double Seconds() const {
      return format.rate > 0 ? static_cast<double>(Frames()) / format.rate : 0;
    }
  };
  // One step of decoding: a picture, some sound, nothing more, or (with pictures held back)
  // nothing more until pictures are taken again.
  enum class Step { kPicture, kSound, kEnd, kPicturesWanted };

  virtual ~ClipDecoder() = default;

  // Nothing when FFmpeg cannot open the file or it holds neither a picture nor sound.
  // interrupted() is polled before every read of the file; true stops them. Every byte is read
  // through files.
  static std::unique_ptr<ClipDecoder> Open(const std::string& utf8_path,
                                           std::function<bool()> interrupted,
                                           std::shared_ptr<const ClipFiles> files = DiskFiles());
  // The same for a file already opened (the clip resolver's), read through its own handle;
  // files serves only a second open the decoder may need.
  static std::unique_ptr<ClipDecoder> Open(OpenedFile file, std::function<bool()> interrupted,
                                           std::shared_ptr<const ClipFiles> files);

  virtual bool HasPicture() const = 0;
  virtual bool HasSound() const = 0;
  // Seconds one picture stays, from the stream's frame rate.
  virtual double FrameDuration() const = 0;

  // Decodes on to the next picture or piece of sound. A picture is converted at width x height
  // (its own size when either is 0 or less) into picture; sound goes into sound. Without
  // pictures, the picture stream's packets are held back (up to a bound) and only sound comes:
  // a file may carry its sound seconds after the pictures it goes with.
  virtual Step Next(int width, int height, Picture& picture, Sound& sound,
                    bool pictures = true) = 0;
};

}  // namespace quorvane::player
