// The saver window frmMain: its run (Form_Load), its exit triggers and PlayTrack, over the
// platform (SaverHost), the playback component reaAudio and the settings file. Everything runs
// on the one user-interface thread; the handlers run while the loop processes events.
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>

#include "player/playback_component.h"
#include "saver/saver_host.h"
#include "settings/settings_store.h"

namespace quorvane::saver {

// A pass through the playlist in which nothing played is followed by this pause: an empty
// playlist, or clips that are all missing, are looked at again twice a minute, and the saver
// wakes for nothing else meanwhile.
inline constexpr uint64_t kIdlePassPauseMs = 30000;
// The longest the loop sleeps while it waits for a clip's picture size: about one picture of
// a 60 Hz screen.
inline constexpr int kFramePeriodMs = 15;
// The longest it sleeps while a clip plays. Only a safety net: input and every change of the
// component (its end included) wake it at once, and each wake-up costs processor time (with the
// display off nothing else wakes it).
inline constexpr int kPlayingWaitMs = 10000;

class FrmMain {
 public:
  FrmMain(SaverHost& host, player::PlaybackComponent& reaAudio, settings::SettingsStore& store);

  // The whole run; ends the process through the host (a test host returns afterwards).
  void Form_Load();
  void Form_Unload(int16_t& Cancel);
  void Form_Click();
  void Form_KeyDown(int16_t& KeyCode, int16_t& Shift);
  void Form_MouseMove(int16_t& Button, int16_t& Shift, float& X, float& Y);
  void reaAudio_Notice(const std::string& first, const std::string& second);
  // Windows says the display is off (0), on (1) or dimmed (2): while it is off, nothing is
  // played to it.
  void Form_DisplayPower(int16_t& State);

  // Starts playlist entry index (0 to 100) and places its picture.
  void PlayTrack(int16_t& index);

  int16_t PlayListCount = 0;
  int16_t ExitFlag = 0;
  int16_t MouseStartX = 0;
  int16_t MouseStartY = 0;

 private:
  void PauseAfterAnIdlePass();
  // The next number of the random-number generator, uniform in [0, 1).
  double RandomFraction();

  SaverHost& host_;
  player::PlaybackComponent& reaAudio_;
  settings::SettingsStore& store_;
  std::mt19937 random_;
  std::uniform_real_distribution<double> uniform_{0.0, 1.0};
  // The screen-saver flag as the run found it, given back at the end.
  std::optional<bool> saved_screen_saver_active_;
  // Whether the latest PlayTrack started a clip that played (a picture or sound).
  bool track_played_ = false;
  bool unloaded_ = false;
};

}  // namespace quorvane::saver
