#include "player/output/picture_window_win.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "player/output/picture_fit.h"
#include "win/text_win.h"

namespace quorvane::player {

namespace {

constexpr wchar_t kClassName[] = L"QuorvanePlayback";
// The timer wakes the thread when the next queued picture falls due (the sound's clock and the
// system's drift apart by far less than a millisecond over a picture's time), and never in a spin.
constexpr double kSoonestWake = 0.001;
constexpr double kLatestWake = 1.0;

}  // namespace

bool PictureWindow::Create(HWND parent, int control_id, RECT place, bool visible) {
  // No cursor of its own: the window is transparent to the mouse, the host's pointer shows.
  Placement placement;
  placement.ex_style = WS_EX_NOPARENTNOTIFY;
  placement.style = WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0);
  placement.place = {place.left, place.top, place.right - place.left, place.bottom - place.top};
  placement.parent = parent;
  placement.id = control_id;
  // A device context of its own, kept from picture to picture: not set up anew for each one.
  if (!Window::Create(Class{kClassName, nullptr, nullptr, nullptr, CS_OWNDC}, placement, L"")) {
    return false;
  }
  timer_ = CreatePictureTimer();
  return true;
}

void PictureWindow::Attach(PlayerCore* core) {
  core_ = core;
  UpdatePictureSize();
}

void PictureWindow::SetSource(const std::string& path) {
  SetWindowTextW(Handle(), win::Widen(path).c_str());
  picture_.reset();
  if (core_) core_->SetSource(path);
  TellTimer();
  InvalidateRect(Handle(), nullptr, FALSE);
}

void PictureWindow::SetResting(bool resting) {
  if (resting == resting_) return;
  resting_ = resting;
  if (core_) core_->Rest(resting);
  if (resting && timer_) timer_->Disarm();
  TellTimer();
  if (!resting) Refresh();
}

void PictureWindow::SetFitPicture(bool fit) {
  fit_ = fit;
  UpdatePictureSize();
  InvalidateRect(Handle(), nullptr, FALSE);
}

void PictureWindow::TellTimer() {
  if (timer_) timer_->Showing(!resting_ && core_ && core_->PlayState() != kPlayStateIdle);
}

// The pointer and clicks over the picture belong to the host; the window never activates.
PictureWindow::Result PictureWindow::OnHitTest() { return HTTRANSPARENT; }
PictureWindow::Result PictureWindow::OnMouseActivate() { return MA_NOACTIVATE; }
// Painting covers every pixel.
PictureWindow::Result PictureWindow::OnEraseBackground() { return 1; }
PictureWindow::Result PictureWindow::OnPaint() {
  Paint();
  return 0;
}
PictureWindow::Result PictureWindow::OnSize() {
  UpdatePictureSize();
  return 0;
}
PictureWindow::Result PictureWindow::OnAppMessage(UINT message, WPARAM, LPARAM lparam) {
  if (message == kPictureChangedMessage) {
    Refresh();
  } else if (message == kPictureCallMessage) {
    (*reinterpret_cast<const std::function<void(PictureWindow&)>*>(lparam))(*this);
  } else {
    return {};
  }
  return 0;
}

RECT PictureWindow::PictureRect() const {
  RECT client{};
  GetClientRect(Handle(), &client);
  if (!fit_ || !core_) return client;
  Box box = FitPicture(client.right, client.bottom, core_->ClipWidth(), core_->ClipHeight());
  return RECT{box.left, box.top, box.left + box.width, box.top + box.height};
}

void PictureWindow::UpdatePictureSize() {
  if (!core_) return;
  RECT rect = PictureRect();
  core_->SetPictureSize(rect.right - rect.left, rect.bottom - rect.top);
  // The picture on show is converted again for a new size, not stretched to it.
  if (picture_) picture_ = core_->AtPictureSize(picture_);
}

void PictureWindow::Refresh() {
  if (!core_) return;
  if (fit_) UpdatePictureSize();  // the clip's proportions are known once it has opened
  if (auto picture = core_->TakeDuePicture()) {
    bool first = !picture_;
    picture_ = std::move(picture);
    if (first) {
      // The black around it too.
      InvalidateRect(Handle(), nullptr, FALSE);
      UpdateWindow(Handle());
    } else if (IsWindowVisible(Handle())) {
      // A picture over the one before, drawn at once: no paint message in between.
      HDC dc = GetDC(Handle());
      DrawPicture(dc, PictureRect());
      ReleaseDC(Handle(), dc);
    }
  }
  TellTimer();
  if (!timer_) return;
  // Without a queued picture the worker's message for the next one comes first.
  std::optional<double> next = core_->NextPictureIn();
  if (core_->PlayState() == kPlayStateIdle || !next) {
    timer_->Disarm();
    return;
  }
  timer_->Arm(std::clamp(*next, kSoonestWake, kLatestWake));
}

void PictureWindow::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Handle(), &paint);
  RECT client{};
  GetClientRect(Handle(), &client);
  RECT rect = PictureRect();
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  if (!picture_) {
    FillRect(dc, &client, black);
  } else {
    if (!EqualRect(&rect, &client)) {
      // Black around the picture, without painting under it (no flicker).
      ExcludeClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
      FillRect(dc, &client, black);
      SelectClipRgn(dc, nullptr);
    }
    DrawPicture(dc, rect);
  }
  EndPaint(Handle(), &paint);
}

void PictureWindow::DrawPicture(HDC dc, const RECT& rect) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  // The rows lie stride bytes apart; only the picture's own width of each is shown.
  info.bmiHeader.biWidth = picture_->stride / 4;
  info.bmiHeader.biHeight = -picture_->height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  if (picture_->width == width && picture_->height == height) {
    // The scaler made the picture at this size already: a plain copy.
    SetDIBitsToDevice(dc, rect.left, rect.top, static_cast<DWORD>(width),
                      static_cast<DWORD>(height), 0, 0, 0, static_cast<UINT>(height),
                      picture_->bgra.data(), &info, DIB_RGB_COLORS);
  } else {
    // Only a picture wider or taller than any screen, converted at the clip's own size.
    SetStretchBltMode(dc, HALFTONE);
    StretchDIBits(dc, rect.left, rect.top, width, height, 0, 0, picture_->width, picture_->height,
                  picture_->bgra.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  }
}

}  // namespace quorvane::player
