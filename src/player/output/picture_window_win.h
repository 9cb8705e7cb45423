// The playback component's own child window, made, used and destroyed on the component's picture
// thread. It paints black until the first picture and around it, and each picture as it falls
// due, woken by its picture timer: the host window's thread is not woken for pictures. It never
// takes the keyboard focus and is transparent to the mouse, so input over the picture reaches the
// host window.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "player/convert/picture.h"
#include "player/core/player_core.h"
#include "player/output/picture_timer_win.h"
#include "win/window_win.h"

namespace quorvane::player {

// Posted by the player's worker when something changed: a picture may be due.
inline constexpr UINT kPictureChangedMessage = WM_APP + 1;
// Sent with a std::function<void(PictureWindow&)>* to run it on the picture thread.
inline constexpr UINT kPictureCallMessage = WM_APP + 2;

class PictureWindow final : private win::Window {
 public:
  PictureWindow() = default;
  PictureWindow(const PictureWindow&) = delete;
  PictureWindow& operator=(const PictureWindow&) = delete;

  // The window, a child of parent at the given place (pixels), visible or hidden; false when it
  // cannot be made.
  bool Create(HWND parent, int control_id, RECT place, bool visible);
  HWND Handle() const { return Window::Handle(); }
  // The player whose pictures it shows, from now on.
  void Attach(PlayerCore* core);
  // Signalled when the next picture falls due (then call Refresh); null without a timer.
  HANDLE DueHandle() const { return timer_ ? timer_->Handle() : nullptr; }
  // Shows the newest picture that is due, and sets the timer for the one after.
  void Refresh();

  void SetSource(const std::string& path);
  void SetResting(bool resting);
  // Whole window (false, the saver's way: the host sizes the window to the picture) or the
  // picture fitted inside with its proportions kept and black around it (true, the preview).
  void SetFitPicture(bool fit);

 private:
  Result OnHitTest() override;
  Result OnMouseActivate() override;
  Result OnEraseBackground() override;
  Result OnPaint() override;
  Result OnSize() override;
  Result OnAppMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

  // Where the picture goes inside the client area.
  RECT PictureRect() const;
  void UpdatePictureSize();
  // The picture on show into its place.
  void DrawPicture(HDC dc, const RECT& rect);
  // The picture timer knows whether pictures are being shown.
  void TellTimer();
  void Paint();

  // Destroyed before the window goes (a member, the window a base): the timer's period is given
  // back first.
  std::unique_ptr<PictureTimer> timer_;
  PlayerCore* core_ = nullptr;
  std::shared_ptr<const Picture> picture_;
  bool fit_ = false;
  bool resting_ = false;
};

}  // namespace quorvane::player
