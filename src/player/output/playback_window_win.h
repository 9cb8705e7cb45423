// The playback component as a Win32 child window: what the saver window (reaAudio) and the
// settings dialog (reaAudioPre) create. Owned by its host window; UI thread only.
// The window paints black until the first picture and around it, never takes the keyboard
// focus, and is transparent to the mouse, so input over the picture reaches the host window.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "player/convert/picture.h"
#include "player/core/player_core.h"
#include "player/output/picture_timer_win.h"
#include "player/playback_component.h"
#include "win/window_win.h"

namespace quorvane::player {

class PlaybackWindow final : public PlaybackComponent, private win::Window {
 public:
  PlaybackWindow();
  ~PlaybackWindow() override;
  PlaybackWindow(const PlaybackWindow&) = delete;
  PlaybackWindow& operator=(const PlaybackWindow&) = delete;

  // The window, a child of parent at the given place (pixels), visible or hidden, with its
  // player; false when the window cannot be made.
  bool Create(HWND parent, int control_id, RECT place, bool visible);

  void SetSource(const std::string& path) override;
  int32_t PlayState() const override { return core_->PlayState(); }
  int32_t ClipHeight() const override { return core_->ClipHeight(); }
  int32_t ClipWidth() const override { return core_->ClipWidth(); }
  void SetHeight(float height) override;
  void SetWidth(float width) override;
  void SetTop(float top) override;
  void SetLeft(float left) override;
  void SetVisible(bool visible) override;
  void SetNoticeHandler(NoticeHandler handler) override { notice_ = std::move(handler); }
  void SetResting(bool resting) override;

  // The component's own child window. Its text is the current source, for tests and tools.
  HWND Handle() const { return Window::Handle(); }
  // Signalled whenever the play state, the picture size or a due picture changes, so that a
  // host waiting for messages can wait for this as well.
  HANDLE WakeEvent() const { return wake_; }
  // Whole window (false, the saver's way: the host sizes the window to the picture) or the
  // picture fitted inside with its proportions kept and black around it (true, the preview).
  void SetFitPicture(bool fit);

 private:
  Result OnHitTest() override;
  Result OnMouseActivate() override;
  Result OnEraseBackground() override;
  Result OnPaint() override;
  Result OnSize() override;
  Result OnAppMessage(UINT message, WPARAM wparam, LPARAM) override;

  void Place();
  // Where the picture goes inside the client area.
  RECT PictureRect() const;
  void UpdatePictureSize();
  void Refresh();
  // The picture on show into its place.
  void DrawPicture(HDC dc, const RECT& rect);
  // The picture timer knows whether pictures are being shown.
  void TellTimer();
  void Paint();

  HANDLE wake_;
  std::unique_ptr<PictureTimer> timer_;
  std::unique_ptr<PlayerCore> core_;
  std::shared_ptr<const Picture> picture_;
  NoticeHandler notice_;
  bool fit_ = false;
  bool resting_ = false;
  float height_ = 0, width_ = 0, top_ = 0, left_ = 0;
};

// Creates the component as a child of parent at the given place (pixels), visible or hidden;
// nothing when its window cannot be made.
std::unique_ptr<PlaybackWindow> CreatePlaybackWindow(HWND parent, int control_id, RECT place,
                                                     bool visible);

}  // namespace quorvane::player
