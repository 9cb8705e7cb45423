#include "player/output/playback_window_win.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "player/output/audio_endpoints_win.h"
#include "player/output/picture_fit.h"
#include "player/sound/sound_output.h"
#include "win/text_win.h"
#include "win/thread_name_win.h"

namespace quorvane::player {

namespace {

constexpr wchar_t kClassName[] = L"QuorvanePlayback";
// Posted by the worker thread when something changed.
constexpr UINT kChangedMessage = WM_APP + 1;
// Posted once when the player's worker thread could not start.
constexpr UINT kBrokenMessage = WM_APP + 2;
// The picture timer wakes the window when the next queued picture falls due (the sound's clock
// and the system's drift apart by far less than a millisecond over a picture's time), and never
// in a spin.
constexpr double kSoonestWake = 0.001;
constexpr double kLatestWake = 1.0;

// A metafile's line: UTF-8 when it is valid UTF-8, otherwise text in the ANSI code page, as
// Notepad on a Japanese Windows saves it.
std::optional<std::string> MetafileLine(std::string_view line) {
  if (std::optional<std::string> utf8 = Utf8Line(line)) return utf8;
  return win::AnsiToUtf8(line);
}

int Rounded(float value) {
  if (!std::isfinite(value)) return 0;
  return static_cast<int>(std::lround(std::clamp(value, -1.0e6f, 1.0e6f)));
}

}  // namespace

PlaybackWindow::PlaybackWindow() : wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

PlaybackWindow::~PlaybackWindow() {
  core_.reset();  // the worker and the timer stop before the window they post to goes
  timer_.reset();
  if (wake_) CloseHandle(wake_);
}

bool PlaybackWindow::Create(HWND parent, int control_id, RECT place, bool visible) {
  // No cursor of its own: the window is transparent to the mouse, the host's pointer shows.
  Placement placement;
  placement.ex_style = WS_EX_NOPARENTNOTIFY;
  placement.style = WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0);
  placement.place = {place.left, place.top, place.right - place.left, place.bottom - place.top};
  placement.parent = parent;
  placement.id = control_id;
  if (!Window::Create(Class{kClassName}, placement, L"")) return false;
  HWND window = Handle();
  HANDLE wake = wake_;
  timer_ = CreatePictureTimer(window, kChangedMessage);
  std::unique_ptr<AudioOutput> sound = CreateSoundOutput(CreateAudioEndpoints());
  core_ = std::make_unique<PlayerCore>(
      std::move(sound),
      [window, wake] {
        SetEvent(wake);
        PostMessageW(window, kChangedMessage, 0, 0);
      },
      MetafileLine, nullptr, nullptr, [] { win::NameThisThread(L"quorvane_worker"); });
  left_ = static_cast<float>(place.left);
  top_ = static_cast<float>(place.top);
  width_ = static_cast<float>(place.right - place.left);
  height_ = static_cast<float>(place.bottom - place.top);
  UpdatePictureSize();
  if (!core_->Working()) {
    // Raised once the host has had the chance to set its handler: without a worker thread
    // nothing can ever play.
    PostMessageW(Handle(), kBrokenMessage, 0, 0);
  }
  return true;
}

void PlaybackWindow::SetSource(const std::string& path) {
  SetWindowTextW(Handle(), win::Widen(path).c_str());
  picture_.reset();
  core_->SetSource(path);
  TellTimer();
  InvalidateRect(Handle(), nullptr, FALSE);
}

void PlaybackWindow::SetResting(bool resting) {
  if (resting == resting_) return;
  resting_ = resting;
  core_->Rest(resting);
  if (resting && timer_) timer_->Disarm();
  TellTimer();
  if (!resting) Refresh();
}

void PlaybackWindow::TellTimer() {
  if (timer_) timer_->Showing(!resting_ && core_->PlayState() != kPlayStateIdle);
}

void PlaybackWindow::SetHeight(float height) {
  height_ = height;
  Place();
}
void PlaybackWindow::SetWidth(float width) {
  width_ = width;
  Place();
}
void PlaybackWindow::SetTop(float top) {
  top_ = top;
  Place();
}
void PlaybackWindow::SetLeft(float left) {
  left_ = left;
  Place();
}
void PlaybackWindow::SetVisible(bool visible) {
  ShowWindow(Handle(), visible ? SW_SHOWNA : SW_HIDE);
}

void PlaybackWindow::SetFitPicture(bool fit) {
  fit_ = fit;
  UpdatePictureSize();
  InvalidateRect(Handle(), nullptr, FALSE);
}

// The pointer and clicks over the picture belong to the host; the window never activates.
PlaybackWindow::Result PlaybackWindow::OnHitTest() { return HTTRANSPARENT; }
PlaybackWindow::Result PlaybackWindow::OnMouseActivate() { return MA_NOACTIVATE; }
// Painting covers every pixel.
PlaybackWindow::Result PlaybackWindow::OnEraseBackground() { return 1; }
PlaybackWindow::Result PlaybackWindow::OnPaint() {
  Paint();
  return 0;
}
PlaybackWindow::Result PlaybackWindow::OnSize() {
  UpdatePictureSize();
  return 0;
}
PlaybackWindow::Result PlaybackWindow::OnAppMessage(UINT message, WPARAM, LPARAM) {
  if (message == kChangedMessage) {
    Refresh();
  } else if (message == kBrokenMessage) {
    if (notice_) notice_("Quorvane", "the player could not start");
  } else {
    return {};
  }
  return 0;
}

void PlaybackWindow::Place() {
  SetWindowPos(Handle(), nullptr, Rounded(left_), Rounded(top_), std::max(0, Rounded(width_)),
               std::max(0, Rounded(height_)), SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT PlaybackWindow::PictureRect() const {
  RECT client{};
  GetClientRect(Handle(), &client);
  if (!fit_ || !core_) return client;
  Box box = FitPicture(client.right, client.bottom, core_->ClipWidth(), core_->ClipHeight());
  return RECT{box.left, box.top, box.left + box.width, box.top + box.height};
}

void PlaybackWindow::UpdatePictureSize() {
  if (!core_) return;
  RECT rect = PictureRect();
  core_->SetPictureSize(rect.right - rect.left, rect.bottom - rect.top);
  // The picture on show is converted again for a new size, not stretched to it.
  if (picture_) picture_ = core_->AtPictureSize(picture_);
}

void PlaybackWindow::Refresh() {
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

void PlaybackWindow::Paint() {
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

void PlaybackWindow::DrawPicture(HDC dc, const RECT& rect) {
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

std::unique_ptr<PlaybackWindow> CreatePlaybackWindow(HWND parent, int control_id, RECT place,
                                                     bool visible) {
  auto window = std::make_unique<PlaybackWindow>();
  if (!window->Create(parent, control_id, place, visible)) return nullptr;
  return window;
}

}  // namespace quorvane::player
