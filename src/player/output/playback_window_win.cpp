#include "player/output/playback_window_win.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <system_error>

#include "player/output/audio_endpoints_win.h"
#include "player/output/picture_window_win.h"
#include "player/sound/sound_output.h"
#include "win/text_win.h"
#include "win/thread_name_win.h"

namespace quorvane::player {

namespace {

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

// Waits for event while carrying out the messages other threads send this one: the picture
// thread's window is a child of this thread's, and the system may send this thread messages
// while that window is made or destroyed.
void WaitAnswering(HANDLE event) {
  while (MsgWaitForMultipleObjectsEx(1, &event, INFINITE, QS_SENDMESSAGE, 0) != WAIT_OBJECT_0) {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

// Runs the window's messages, and shows each picture as it falls due, until the thread is told
// to end (WM_QUIT).
void RunWindow(PictureWindow& window) {
  for (;;) {
    HANDLE due = window.DueHandle();
    DWORD count = due ? 1 : 0;
    DWORD woke =
        MsgWaitForMultipleObjectsEx(count, &due, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (count && woke == WAIT_OBJECT_0) {
      window.Refresh();
      continue;
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return;
      DispatchMessageW(&msg);
    }
  }
}

}  // namespace

PlaybackWindow::PlaybackWindow()
    : wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      created_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      ended_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

PlaybackWindow::~PlaybackWindow() {
  // The notice of a player that could not start (Create), if it is not raised yet.
  KillTimer(parent_, reinterpret_cast<UINT_PTR>(this));
  if (thread_.joinable()) {
    // The window goes first, then the player it shows: nothing paints from a player that is gone.
    PostThreadMessageW(thread_id_, WM_QUIT, 0, 0);
    WaitAnswering(ended_);
    thread_.join();
  }
  core_.reset();
  for (HANDLE event : {wake_, created_, ended_}) {
    if (event) CloseHandle(event);
  }
}

bool PlaybackWindow::Create(HWND parent, int control_id, RECT place, bool visible) {
  if (!wake_ || !created_ || !ended_) return false;
  parent_ = parent;
  try {
    thread_ = std::thread([this, parent, control_id, place, visible] {
      RunPictureThread(parent, control_id, place, visible);
    });
  } catch (const std::system_error&) {
    return false;
  }
  WaitAnswering(created_);
  if (!handle_) {
    thread_.join();
    return false;
  }
  HWND window = handle_;
  HANDLE wake = wake_;
  std::unique_ptr<AudioOutput> sound = CreateSoundOutput(CreateAudioEndpoints());
  core_ = std::make_unique<PlayerCore>(
      std::move(sound),
      [window, wake] {
        SetEvent(wake);
        PostMessageW(window, kPictureChangedMessage, 0, 0);
      },
      MetafileLine, nullptr, nullptr, [] { win::NameThisThread(L"quorvane_worker"); });
  OnPictureThread([core = core_.get()](PictureWindow& w) { w.Attach(core); });
  left_ = static_cast<float>(place.left);
  top_ = static_cast<float>(place.top);
  width_ = static_cast<float>(place.right - place.left);
  height_ = static_cast<float>(place.bottom - place.top);
  if (!core_->Working()) {
    // Raised from the host's own messages, once it has had the chance to set its handler:
    // without a worker thread nothing can ever play.
    SetTimer(parent, reinterpret_cast<UINT_PTR>(this), 0, &RaiseBroken);
  }
  return true;
}

void PlaybackWindow::RunPictureThread(HWND parent, int control_id, RECT place, bool visible) {
  win::NameThisThread(L"quorvane_paint");
  {
    PictureWindow window;
    if (window.Create(parent, control_id, place, visible)) {
      thread_id_ = GetCurrentThreadId();
      handle_ = window.Handle();
    }
    SetEvent(created_);
    if (handle_) RunWindow(window);
  }
  SetEvent(ended_);
}

void PlaybackWindow::OnPictureThread(const std::function<void(PictureWindow&)>& call) {
  SendMessageW(handle_, kPictureCallMessage, 0, reinterpret_cast<LPARAM>(&call));
}

void CALLBACK PlaybackWindow::RaiseBroken(HWND window, UINT, UINT_PTR id, DWORD) noexcept {
  KillTimer(window, id);
  auto* self = reinterpret_cast<PlaybackWindow*>(id);
  try {
    if (self->notice_) self->notice_("Quorvane", "the player could not start");
  } catch (...) {
    // Called from the system's own code: nothing may be thrown through it.
  }
}

void PlaybackWindow::SetSource(const std::string& path) {
  OnPictureThread([&path](PictureWindow& w) { w.SetSource(path); });
}

void PlaybackWindow::SetResting(bool resting) {
  OnPictureThread([resting](PictureWindow& w) { w.SetResting(resting); });
}

void PlaybackWindow::SetFitPicture(bool fit) {
  OnPictureThread([fit](PictureWindow& w) { w.SetFitPicture(fit); });
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
  OnPictureThread(
      [visible](PictureWindow& w) { ShowWindow(w.Handle(), visible ? SW_SHOWNA : SW_HIDE); });
}

void PlaybackWindow::Place() {
  int left = Rounded(left_), top = Rounded(top_);
  int width = std::max(0, Rounded(width_)), height = std::max(0, Rounded(height_));
  OnPictureThread([=](PictureWindow& w) {
    SetWindowPos(w.Handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  });
}

std::unique_ptr<PlaybackWindow> CreatePlaybackWindow(HWND parent, int control_id, RECT place,
                                                     bool visible) {
  auto window = std::make_unique<PlaybackWindow>();
  if (!window->Create(parent, control_id, place, visible)) return nullptr;
  return window;
}

}  // namespace quorvane::player
