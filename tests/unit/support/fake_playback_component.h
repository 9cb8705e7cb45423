// The playback component played from a script, for the unit tests and fuzz targets: each clip
// of the script takes a number of event passes until its size is known and as many more until
// its end; a path that is not in the script (unless every_clip is set) cannot be played and ends
// at once. Every source and every geometry call is recorded.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "player/playback_component.h"

namespace quorvane::fakes {

struct ScriptedClip {
  int height = 120;
  int width = 160;
  int opening_passes = 2;
  int playing_passes = 3;
};

class FakePlaybackComponent final : public player::PlaybackComponent {
 public:
  std::map<std::string, ScriptedClip> clips;
  std::optional<ScriptedClip> every_clip;  // how a path that is not in clips plays, if at all
  std::vector<std::string> sources;
  std::vector<std::string> calls;     // geometry calls in order
  std::map<std::string, float> last;  // the latest value of each geometry call

  void SetSource(const std::string& path) override {
    sources.push_back(path);
    auto found = clips.find(path);
    std::optional<ScriptedClip> clip = found != clips.end() ? found->second : every_clip;
    playing_ = clip.has_value();
    if (playing_) clip_ = *clip;
    passes_ = 0;
  }
  int32_t PlayState() const override {
    if (!playing_) return player::kPlayStateIdle;
    return passes_ < clip_.opening_passes ? player::kPlayStateOpening : player::kPlayStatePlaying;
  }
  int32_t ClipHeight() const override { return SizeKnown() ? clip_.height : 0; }
  int32_t ClipWidth() const override { return SizeKnown() ? clip_.width : 0; }
  void SetHeight(float v) override { Record("Height", v); }
  void SetWidth(float v) override { Record("Width", v); }
  void SetTop(float v) override { Record("Top", v); }
  void SetLeft(float v) override { Record("Left", v); }
  void SetVisible(bool v) override { calls.push_back(v ? "Visible" : "Hidden"); }
  void SetNoticeHandler(NoticeHandler) override {}
  void SetResting(bool resting) override { calls.push_back(resting ? "Resting" : "Awake"); }

  // One pass of event processing: the clip moves on.
  void Pass() {
    if (!playing_) return;
    if (++passes_ >= clip_.opening_passes + clip_.playing_passes) playing_ = false;
  }

 private:
  bool SizeKnown() const { return playing_ && passes_ >= clip_.opening_passes; }
  void Record(const std::string& what, float v) {
    calls.push_back(what);
    last[what] = v;
  }
  ScriptedClip clip_;
  bool playing_ = false;
  int passes_ = 0;
};

}  // namespace quorvane::fakes
