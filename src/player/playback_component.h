// The playback component as the saver window and the settings dialog see it: set a source,
// poll its state and picture size, place its window. Owned by the window that hosts it and
// used on that window's user-interface thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quorvane::player {

// Values of PlayState(): 0 while nothing plays, distinct non-zero values while a clip is
// being opened and while it plays.
enum PlayStateValue : int32_t {
  kPlayStateIdle = 0,
  kPlayStateOpening = 1,
  kPlayStatePlaying = 2,
};

class PlaybackComponent {
 public:
  // Raised when the component cannot go on at all; the two texts say what and why.
  using NoticeHandler = std::function<void(const std::string&, const std::string&)>;

  virtual ~PlaybackComponent() = default;

  // Starts the clip at this path (UTF-8; may be empty) at once, replacing whatever played.
  // Returns at once: opening and decoding never block the caller.
  virtual void SetSource(const std::string& path) = 0;

  virtual int32_t PlayState() const = 0;
  // 0 until the current clip's picture size is known, then its size in pixels.
  virtual int32_t ClipHeight() const = 0;
  virtual int32_t ClipWidth() const = 0;

  // Geometry of the component's window in the container's unit (pixels); the host sets
  // Height, Width, Top, Left and Visible in that order.
  virtual void SetHeight(float height) = 0;
  virtual void SetWidth(float width) = 0;
  virtual void SetTop(float top) = 0;
  virtual void SetLeft(float left) = 0;
  virtual void SetVisible(bool visible) = 0;

  virtual void SetNoticeHandler(NoticeHandler handler) = 0;

  // Resting (the display is off), the clip stands where it is: nothing is decoded, painted or
  // played, and the sound device is let go. Afterwards the clip goes on from there.
  virtual void SetResting(bool resting) = 0;
};

}  // namespace quorvane::player
