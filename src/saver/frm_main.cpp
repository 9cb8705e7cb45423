#include "saver/frm_main.h"

#include <cmath>

#include "saver/placement.h"
#include "settings/number_reading.h"
#include "settings/saver_settings.h"

namespace quorvane::saver {

namespace {

constexpr int16_t kTrue = -1;

// A pointer coordinate rounded to the nearest integer, halves to even; nothing beyond 16 bits.
std::optional<int16_t> PointerUnit(float value) { return settings::RoundToInt16(value); }

}  // namespace

FrmMain::FrmMain(SaverHost& host, player::PlaybackComponent& reaAudio,
                 settings::SettingsStore& store)
    : host_(host), reaAudio_(reaAudio), store_(store) {}

void FrmMain::Form_Load() {
  host_.Show();
  ExitFlag = 0;
  // The flag is given back as found at the end (switching it off would turn the system's
  // screen saver off for the rest of the session).
  saved_screen_saver_active_ = host_.ScreenSaverActive();
  host_.SetScreenSaverActive(true);
  host_.ShowCursor(false);
  host_.Refresh();
  int16_t TrackIndex = 0;
  bool pass_played = false;
  for (;;) {
    int32_t state = reaAudio_.PlayState();
    if (state == player::kPlayStateIdle) {
      PlayTrack(TrackIndex);
      pass_played = pass_played || track_played_;
      TrackIndex = static_cast<int16_t>(TrackIndex + 1);
      if (TrackIndex > PlayListCount) {
        TrackIndex = 0;
        // A whole pass in which nothing played (missing files, an empty playlist) waits on the
        // black screen instead of reading the settings file over and over.
        if (!pass_played && ExitFlag != kTrue) PauseAfterAnIdlePass();
        pass_played = false;
      }
    }
    host_.DoEvents();
    if (ExitFlag == kTrue || unloaded_) break;
    // While a clip plays nothing is due until the next message or the component's next change.
    if (state != player::kPlayStateIdle) host_.WaitForEvents(kPlayingWaitMs);
  }
  if (unloaded_) return;
  host_.Cls();
  host_.Hide();
  int16_t cancel = 0;
  Form_Unload(cancel);
}

void FrmMain::Form_Unload(int16_t& /*Cancel*/) {
  unloaded_ = true;
  host_.SetScreenSaverActive(saved_screen_saver_active_.value_or(true));
  host_.ShowCursor(true);
  host_.EndProcess();
}

void FrmMain::Form_Click() { ExitFlag = kTrue; }

void FrmMain::Form_KeyDown(int16_t& /*KeyCode*/, int16_t& /*Shift*/) { ExitFlag = kTrue; }

void FrmMain::Form_MouseMove(int16_t& /*Button*/, int16_t& /*Shift*/, float& X, float& Y) {
  std::optional<int16_t> x = PointerUnit(X);
  std::optional<int16_t> y = PointerUnit(Y);
  bool recorded = MouseStartX != 0 || MouseStartY != 0;
  if (!x || !y) {
    // Beyond 16 bits: a move once a position is recorded, else nothing to compare with yet.
    if (recorded) ExitFlag = kTrue;
    return;
  }
  if (!recorded) {
    MouseStartX = *x;
    MouseStartY = *y;
  } else if (*x != MouseStartX || *y != MouseStartY) {
    ExitFlag = kTrue;
  }
}

void FrmMain::reaAudio_Notice(const std::string&, const std::string&) { ExitFlag = kTrue; }

void FrmMain::Form_DisplayPower(int16_t& State) { reaAudio_.SetResting(State == 0); }

void FrmMain::PauseAfterAnIdlePass() {
  // Handling events all the while: an input ends the run at once, and nothing else wakes it.
  uint64_t start = host_.NowMs();
  for (;;) {
    host_.DoEvents();
    if (ExitFlag == kTrue || unloaded_) return;
    uint64_t waited = host_.NowMs() - start;
    if (waited >= kIdlePassPauseMs) return;
    host_.WaitForEvents(static_cast<int>(kIdlePassPauseMs - waited));
  }
}

double FrmMain::RandomFraction() { return uniform_(random_); }

void FrmMain::PlayTrack(int16_t& index) {
  // Reseeded from the time of day on every call, to the millisecond.
  random_.seed(static_cast<uint32_t>(std::llround(host_.TimeOfDay() * 1000.0)));
  settings::SaverSettings read;
  if (std::optional<std::string> text = store_.Load()) read = settings::ReadSaverSettings(*text);
  PlayListCount = static_cast<int16_t>(read.play_list.size());

  // Past the last entry (up to the 101st place) comes the empty entry, which plays nothing.
  bool listed = index >= 0 && index < PlayListCount;
  reaAudio_.SetSource(listed ? read.play_list[static_cast<size_t>(index)] : std::string());

  // Wait for the picture size; also over when the clip has ended or could not be played at
  // all, so a missing file or a clip without a picture never holds the saver.
  track_played_ = false;
  for (;;) {
    int32_t height = reaAudio_.ClipHeight();
    int32_t state = reaAudio_.PlayState();
    track_played_ = track_played_ || state == player::kPlayStatePlaying || height != 0;
    host_.DoEvents();
    if (height != 0 || ExitFlag == kTrue || state == player::kPlayStateIdle || unloaded_) break;
    host_.WaitForEvents(kFramePeriodMs);
  }

  float sh = host_.ScaleHeight();
  float sw = host_.ScaleWidth();
  int32_t ch = reaAudio_.ClipHeight();
  int32_t cw = reaAudio_.ClipWidth();
  Placement place = PlacePicture(sh, sw, ch, cw, read.size, read.random_position,
                                 [this] { return RandomFraction(); });
  reaAudio_.SetHeight(place.height);
  reaAudio_.SetWidth(place.width);
  reaAudio_.SetTop(place.top);
  reaAudio_.SetLeft(place.left);
  reaAudio_.SetVisible(true);
}

}  // namespace quorvane::saver
