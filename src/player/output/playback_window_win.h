// The playback component as a Win32 child window: what the saver window (reaAudio) and the
// settings dialog (reaAudioPre) create. Owned by its host window and called on that window's
// thread. The window itself belongs to a thread of the component's own, the picture thread,
// which paints each picture as it falls due: the host's thread is woken only when the play state
// or the picture's size changes. Every call that touches the window is carried out on the
// picture thread before it returns.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "player/core/player_core.h"
#include "player/playback_component.h"

namespace quorvane::player {

class PictureWindow;

class PlaybackWindow final : public PlaybackComponent {
 public:
  PlaybackWindow();
  ~PlaybackWindow() override;
  PlaybackWindow(const PlaybackWindow&) = delete;
  PlaybackWindow& operator=(const PlaybackWindow&) = delete;

  // The window, a child of parent at the given place (pixels), visible or hidden, with its
  // player; false when the window or its thread cannot be made.
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
  HWND Handle() const { return handle_; }
  // Signalled whenever the play state, the picture size or a due picture changes, so that a
  // host waiting for messages can wait for this as well.
  HANDLE WakeEvent() const { return wake_; }
  // Whole window (false, the saver's way) or the picture fitted inside with black around it
  // (true, the preview).
  void SetFitPicture(bool fit);

 private:
  // The picture thread: makes the window, tells Create, then runs the window until told to end.
  void RunPictureThread(HWND parent, int control_id, RECT place, bool visible);
  // Runs call on the picture thread; returns once it has run (at once when the window is gone).
  void OnPictureThread(const std::function<void(PictureWindow&)>& call);
  void Place();
  // Raises the notice that the player could not start, on the host's thread.
  static void CALLBACK RaiseBroken(HWND window, UINT, UINT_PTR id, DWORD) noexcept;

  HANDLE wake_;
  HANDLE created_;  // the picture thread has made its window, or could not
  HANDLE ended_;    // the picture thread has let its window go
  std::thread thread_;
  DWORD thread_id_ = 0;
  HWND parent_ = nullptr;
  HWND handle_ = nullptr;
  std::unique_ptr<PlayerCore> core_;
  NoticeHandler notice_;
  float height_ = 0, width_ = 0, top_ = 0, left_ = 0;
};

// Creates the component as a child of parent at the given place (pixels), visible or hidden;
// nothing when its window cannot be made.
std::unique_ptr<PlaybackWindow> CreatePlaybackWindow(HWND parent, int control_id, RECT place,
                                                     bool visible);

}  // namespace quorvane::player
