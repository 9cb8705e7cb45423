// One clip's run against a core and a decoder of the test's own, without threads: what it asks
// of the core, the decoder and the sound device, in order.
#include "player/core/clip_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

namespace quorvane::player {
namespace {

using Log = std::vector<std::string>;

// Gives the steps it was given: a picture or a piece of sound at a time, then the end. Asked
// without pictures, it gives the next sound step (skipping none) or says pictures are wanted.
class ScriptedDecoder final : public ClipDecoder {
 public:
  struct Item {
    Step step;
    double time;
  };
  ScriptedDecoder(Log& log, std::deque<Item> items, bool picture, bool sound)
      : log_(log), items_(std::move(items)), picture_(picture), sound_(sound) {}

  bool HasPicture() const override { return picture_; }
  bool HasSound() const override { return sound_; }
  double FrameDuration() const override { return 0.1; }
  Step Next(int width, int height, Picture& picture, Sound& sound, bool pictures) override {
    for (auto it = items_.begin(); it != items_.end(); ++it) {
      if (!pictures && it->step == Step::kPicture) continue;
      Item item = *it;
      items_.erase(it);
      if (item.step == Step::kPicture) {
        picture.time = item.time;
        picture.width = width;
        picture.height = height;
        picture.source_width = 160;
        picture.source_height = 120;
        log_.push_back("picture " + std::to_string(item.time).substr(0, 3));
      } else {
        sound.time = item.time;
        sound.format = SoundFormat{8000, 1};
        sound.samples.assign(800, 0);  // a tenth of a second
        log_.push_back("sound " + std::to_string(item.time).substr(0, 3));
      }
      return item.step;
    }
    if (!items_.empty()) return Step::kPicturesWanted;
    return Step::kEnd;
  }

 private:
  Log& log_;
  std::deque<Item> items_;
  bool picture_;
  bool sound_;
};

class RecordingDevice final : public AudioOutput {
 public:
  explicit RecordingDevice(Log& log) : log_(log) {}
  void SetListener(std::function<void()>) override {}
  uint64_t BeginClip(SoundFormat format) override {
    log_.push_back("device begin " + std::to_string(format.rate));
    return kClip;
  }
  void Write(uint64_t clip, const float*, size_t frames) override {
    log_.push_back("device write " + std::to_string(frames) +
                   (clip == kClip ? "" : " for clip " + std::to_string(clip)));
  }
  double RoomIn(uint64_t) override { return 0; }
  void EndClip(uint64_t) override { log_.push_back("device end"); }
  void Finish(uint64_t) override { log_.push_back("device finish"); }
  void DropClip() override { log_.push_back("device drop"); }
  HeardSound Heard() override { return {}; }
  void Rest(bool) override {}

 private:
  static constexpr uint64_t kClip = 7;
  Log& log_;
};

// A queue of one picture, emptied whenever the run waits for room; with replaced_while_waiting
// the clip is replaced while a picture waits for room (as another source would).
class ScriptedCore final : public ClipRunCore {
 public:
  ScriptedCore(Log& log, AudioOutput& audio) : log_(log), audio_(audio) {}

  bool Cancelled() const override { return replaced_; }
  void Report(int32_t state, std::optional<Size> size) override {
    log_.push_back(
        "report " + std::to_string(state) +
        (size ? " " + std::to_string(size->width) + "x" + std::to_string(size->height) : ""));
  }
  bool QueuePicture(Picture& picture, bool wait) override {
    if (replaced_ || (full_ && !wait)) return false;
    if (full_ && replaced_while_waiting) {
      replaced_ = true;
      return false;
    }
    log_.push_back("queue " + std::to_string(picture.time).substr(0, 3) + " at " +
                   std::to_string(picture.width));
    picture = Picture();
    full_ = true;
    return true;
  }
  void WaitForRoom(double sound_room_in) override {
    log_.push_back(sound_room_in >= 0 ? "wait for room or sound" : "wait for room");
    full_ = false;
  }
  void WaitUntilClipTime(double time) override {
    log_.push_back("wait until " + std::to_string(time).substr(0, 3));
  }
  void ExpectSound(bool expected) override {
    log_.push_back(expected ? "expect sound" : "expect no sound");
  }
  uint64_t BeginSound(SoundFormat format, double time) override {
    log_.push_back("sound begins at " + std::to_string(time).substr(0, 3));
    return replaced_ ? 0 : audio_.BeginClip(format);
  }
  Size PictureSize() const override { return {320, 240}; }
  PixelBytes TakeBuffer() override { return PixelBytes(16); }
  AudioOutput& Audio() override { return audio_; }

  bool replaced_while_waiting = false;

 private:
  Log& log_;
  AudioOutput& audio_;
  bool full_ = false;
  bool replaced_ = false;
};

using Step = ClipDecoder::Step;

TEST(ClipRun, DecodesSoundWhileAPictureWaitsForRoomAndEndsAfterTheLastOfBoth) {
  Log log;
  RecordingDevice device(log);
  ScriptedCore core(log, device);
  ScriptedDecoder decoder(log,
                          {{Step::kPicture, 0.0},
                           {Step::kPicture, 0.1},
                           {Step::kSound, 0.0},
                           {Step::kSound, 0.1},
                           {Step::kPicture, 0.2}},
                          true, true);
  ClipRun(core, decoder).PlayToEnd();
  // The clock waits for the sound.
  Log want = {"expect sound", "picture 0.0", "report 2 160x120", "queue 0.0 at 320",
              // The queue is full: the picture waits, and sound is decoded meanwhile.
              "picture 0.1", "sound 0.0", "sound begins at 0.0", "device begin 8000",
              "device write 800", "sound 0.1", "device write 800",
              // Only pictures are left: the run waits for room.
              "wait for room", "queue 0.1 at 320", "picture 0.2", "queue 0.2 at 320",
              // The end: the sound's end told, then the last picture's time (0.2 + 0.1), then
              // what the device still plays; the device stays open for the next clip.
              "device end", "wait until 0.3", "device finish", "report 0"};
  EXPECT_EQ(log, want);
}

// The core drops a replaced clip's sound when the new source comes; its run only stops.
TEST(ClipRun, AClipReplacedWhileAPictureWaitsReportsNothingAndNeitherEndsNorPlaysOutItsSound) {
  Log log;
  RecordingDevice device(log);
  ScriptedCore core(log, device);
  core.replaced_while_waiting = true;
  ScriptedDecoder decoder(log, {{Step::kSound, 0.0}, {Step::kPicture, 0.0}, {Step::kPicture, 0.1}},
                          true, true);
  ClipRun(core, decoder).PlayToEnd();
  ASSERT_NE(std::find(log.begin(), log.end(), "device write 800"), log.end());
  for (const std::string& line : log) {
    EXPECT_NE(line, "report 0") << "a replaced clip reports nothing more";
    EXPECT_NE(line, "device end");
    EXPECT_NE(line, "device finish") << "a replaced clip's sound is cut off, not played out";
  }
}

TEST(ClipRun, ASoundOnlyClipIsPlayingFromItsFirstSoundWithNoPictureSize) {
  Log log;
  RecordingDevice device(log);
  ScriptedCore core(log, device);
  ScriptedDecoder decoder(log, {{Step::kSound, 0.0}, {Step::kSound, 0.1}}, false, true);
  ClipRun(core, decoder).PlayToEnd();
  Log want = {"expect sound", "sound 0.0",        "sound begins at 0.0", "device begin 8000",
              "report 2 0x0", "device write 800", "sound 0.1",           "device write 800",
              "device end",   "wait until 0.2",   "device finish",       "report 0"};
  EXPECT_EQ(log, want);
}

}  // namespace
}  // namespace quorvane::player
