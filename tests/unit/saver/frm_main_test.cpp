#include "saver/frm_main.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "unit/support/fake_saver_host.h"

namespace quorvane::saver {
namespace {

using fakes::SaverRun;
using fakes::ScriptedClip;

std::string SettingsWith(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

class FrmMainTest : public ::testing::Test, protected SaverRun {
 protected:
  // Runs the saver until this many sources were set, then clicks.
  void RunUntilSources(size_t count) {
    host.on_events = [&](int) {
      if (component.sources.size() >= count) frm.Form_Click();
    };
    frm.Form_Load();
  }
};

TEST_F(FrmMainTest, PointerRuleRecordsFirstThenEndsOnAMoveOfOneUnit) {
  struct Move {
    float x, y;
    bool ends;
  };
  struct Case {
    const char* name;
    std::vector<Move> moves;
  } cases[] = {
      {"same place", {{10, 20, false}, {10, 20, false}, {10.4f, 19.6f, false}}},
      {"one unit in x", {{10, 20, false}, {11, 20, true}}},
      {"one unit in y", {{10, 20, false}, {10, 19, true}}},
      {"halves to even", {{10, 20, false}, {10.5f, 20.5f, false}, {11.5f, 20, true}}},
      {"(0, 0) is not a record", {{0, 0, false}, {5, 5, false}, {5, 5, false}, {6, 5, true}}},
      {"beyond 16 bits", {{40000, 5, false}, {10, 10, false}, {40000, 10, true}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SaverRun run;
    FrmMain& f = run.frm;
    for (const Move& m : c.moves) {
      int16_t button = 0, shift = 0;
      float x = m.x, y = m.y;
      f.Form_MouseMove(button, shift, x, y);
      EXPECT_EQ(f.ExitFlag, m.ends ? -1 : 0) << m.x << "," << m.y;
    }
  }
}

TEST_F(FrmMainTest, ClickKeyOrNoticeEndsTheRunAndRestoresEverything) {
  for (int trigger = 0; trigger < 3; ++trigger) {
    SCOPED_TRACE(trigger);
    SaverRun run;
    fakes::FakeSaverHost& h = run.host;
    FrmMain& f = run.frm;
    h.screen_saver_active = false;
    h.on_events = [&](int pass) {
      if (pass != 5) return;
      int16_t key = 16, shift = 1;  // Shift alone
      if (trigger == 0) f.Form_Click();
      if (trigger == 1) f.Form_KeyDown(key, shift);
      if (trigger == 2) f.reaAudio_Notice("a", "b");
    };
    f.Form_Load();
    EXPECT_TRUE(h.ended);
    EXPECT_LE(h.passes, 6) << "the run went on after the input";
    ASSERT_GE(h.log.size(), 9u);
    EXPECT_EQ(std::vector<std::string>(h.log.begin(), h.log.begin() + 4),
              (std::vector<std::string>{"Show", "SaverActive", "CursorHidden", "Refresh"}));
    EXPECT_EQ(std::vector<std::string>(h.log.end() - 5, h.log.end()),
              (std::vector<std::string>{"Cls", "Hide", "SaverInactive", "CursorShown", "End"}));
    EXPECT_FALSE(h.screen_saver_active) << "the flag is given back as it was found";
  }
}

TEST_F(FrmMainTest, StartsTheEntriesInOrderWithTheEmptyEntryAfterTheLast) {
  store.file = SettingsWith({"PlayList =a.rm", "PlayList =b.rm", "PlayList =c.rm"});
  for (const char* clip : {"a.rm", "b.rm", "c.rm"}) component.clips[clip] = ScriptedClip{};
  RunUntilSources(7);
  EXPECT_EQ(component.sources,
            (std::vector<std::string>{"a.rm", "b.rm", "c.rm", "", "a.rm", "b.rm", "c.rm"}));
  EXPECT_EQ(frm.PlayListCount, 3);
  EXPECT_EQ(store.loads, 7) << "the settings file is read for every clip";
}

TEST_F(FrmMainTest, TrackIndexStaysWhileTheComponentPlays) {
  store.file = SettingsWith({"PlayList =long.rm", "PlayList =b.rm"});
  component.clips["long.rm"] = ScriptedClip{120, 160, 2, 1000};
  host.on_events = [&](int pass) {
    if (pass == 500) frm.Form_Click();
  };
  frm.Form_Load();
  EXPECT_EQ(component.sources, std::vector<std::string>{"long.rm"});
  // Not a busy loop: the passes while the clip played waited for the next event.
  EXPECT_GE(host.waited_ms, 400 * kFramePeriodMs);
}

TEST_F(FrmMainTest, WithoutSettingsEveryStartIsTheEmptyEntryAfterAPause) {
  std::vector<uint64_t> start_times;
  host.on_events = [&](int) {
    if (component.sources.size() > start_times.size()) start_times.push_back(host.now_ms);
    if (component.sources.size() >= 3) frm.Form_Click();
  };
  frm.Form_Load();
  EXPECT_EQ(component.sources, (std::vector<std::string>{"", "", ""}));
  EXPECT_EQ(frm.PlayListCount, 0);
  ASSERT_EQ(start_times.size(), 3u);
  EXPECT_GE(start_times[1] - start_times[0], kIdlePassPauseMs);
  EXPECT_LT(start_times[1] - start_times[0], kIdlePassPauseMs + 200);
}

// The pause after an idle pass sleeps until its end or an input, not in slices: the empty
// playlist wakes nobody.
TEST_F(FrmMainTest, TheIdlePauseIsOneSleep) {
  int passes_at_start = 0, passes_in_pause = 0;
  host.on_events = [&](int pass) {
    if (component.sources.size() == 1 && passes_at_start == 0) passes_at_start = pass;
    if (component.sources.size() == 2 && passes_in_pause == 0) {
      passes_in_pause = pass - passes_at_start;
      frm.Form_Click();
    }
  };
  frm.Form_Load();
  // The clip's wait, the pause's look before and after its sleep, and the loop's: 4 (in slices
  // of 100 ms it was 52).
  EXPECT_GT(passes_in_pause, 0);
  EXPECT_LE(passes_in_pause, 4);
}

// Windows' word on the display: off, the component rests; on or dimmed, it plays.
TEST_F(FrmMainTest, TheDisplaysPowerRestsTheComponentWhileItIsOff) {
  for (int16_t state : std::vector<int16_t>{0, 1, 0, 2}) frm.Form_DisplayPower(state);
  EXPECT_EQ(component.calls, (std::vector<std::string>{"Resting", "Awake", "Resting", "Awake"}));
  EXPECT_EQ(frm.ExitFlag, 0) << "the display's power ended the run";
}

TEST_F(FrmMainTest, AnInputDuringTheIdlePauseEndsAtOnce) {
  store.file = SettingsWith({"PlayList =missing.rm"});
  host.input_at_ms = 300;
  host.on_events = [&](int) {
    if (host.now_ms >= 300) frm.Form_Click();
  };
  frm.Form_Load();
  EXPECT_TRUE(host.ended);
  EXPECT_LT(host.now_ms, 400u);
}

TEST_F(FrmMainTest, APassWithAClipThatPlayedHasNoPause) {
  store.file = SettingsWith({"PlayList =a.rm", "PlayList =missing.rm"});
  component.clips["a.rm"] = ScriptedClip{};
  RunUntilSources(5);
  EXPECT_EQ(component.sources,
            (std::vector<std::string>{"a.rm", "missing.rm", "", "a.rm", "missing.rm"}));
  EXPECT_LT(host.now_ms, kIdlePassPauseMs);
}

struct PlacementCase {
  const char* name;
  std::vector<std::string> lines;
  float height, width, top, left;
};

TEST_F(FrmMainTest, PlacesThePictureByTheSettingsLineByLine) {
  PlacementCase cases[] = {
      {"x2.0", {"SizeSel  =3"}, 240, 320, 180, 240},
      {"no size line", {}, 120, 160, 240, 320},
      {"other character", {"SizeSel  =9"}, 120, 160, 240, 320},
      {"free 1.25", {"SizeSel  =4", "SizeFree =1.25"}, 150, 200, 225, 300},
      {"free 1,5", {"SizeSel  =4", "SizeFree =1,5"}, 120, 160, 240, 320},
      {"free abc", {"SizeSel  =4", "SizeFree =abc"}, 0, 0, 300, 400},
      {"free before its choice", {"SizeFree =1.25", "SizeSel  =4"}, 0, 0, 300, 400},
      {"free once the factor is set",
       {"SizeSel  =4", "SizeFree =2", "SizeFree =3"},
       240,
       320,
       180,
       240},
      {"full screen stays", {"SizeSel  =5", "SizeSel  =1"}, 598, 798, 1, 1},
      {"centre", {"SizeSel  =1", "PosSel   =0"}, 120, 160, 240, 320},
      {"last position wins", {"PosSel   =1", "PosSel   =0"}, 120, 160, 240, 320},
      {"key fields are exact", {"sizesel  =3", "SizeSel =3", "SizeSel   =3"}, 120, 160, 240, 320},
  };
  for (const PlacementCase& c : cases) {
    SCOPED_TRACE(c.name);
    SaverRun run;
    fakes::FakePlaybackComponent& comp = run.component;
    comp.clips["a.rm"] = ScriptedClip{};
    std::vector<std::string> lines = c.lines;
    lines.push_back("PlayList =a.rm");
    run.store.file = SettingsWith(lines);
    int16_t index = 0;
    run.frm.PlayTrack(index);
    EXPECT_EQ(comp.calls, (std::vector<std::string>{"Height", "Width", "Top", "Left", "Visible"}));
    EXPECT_FLOAT_EQ(comp.last["Height"], c.height);
    EXPECT_FLOAT_EQ(comp.last["Width"], c.width);
    EXPECT_FLOAT_EQ(comp.last["Top"], c.top);
    EXPECT_FLOAT_EQ(comp.last["Left"], c.left);
  }
}

TEST_F(FrmMainTest, RandomPlacesChangeWithTheTimeOfDay) {
  store.file = SettingsWith({"PosSel   =1", "PlayList =a.rm"});
  component.clips["a.rm"] = ScriptedClip{};
  std::map<std::pair<float, float>, int> places;
  for (int i = 0; i < 50; ++i) {
    host.time_of_day = 1000 + i * 0.001;
    int16_t index = 0;
    frm.PlayTrack(index);
    float top = component.last["Top"], left = component.last["Left"];
    EXPECT_GE(top, 1);
    EXPECT_LE(top, 480);
    EXPECT_GE(left, 1);
    EXPECT_LE(left, 640);
    ++places[{top, left}];
  }
  EXPECT_GT(places.size(), 40u);
  // The same moment gives the same place: the generator is reseeded on every call.
  host.time_of_day = 1000;
  int16_t index = 0;
  frm.PlayTrack(index);
  std::pair<float, float> first{component.last["Top"], component.last["Left"]};
  frm.PlayTrack(index);
  EXPECT_EQ(first, (std::pair<float, float>{component.last["Top"], component.last["Left"]}));
}

TEST_F(FrmMainTest, AnExitDuringTheWaitStillPlacesThePicture) {
  store.file = SettingsWith({"PlayList =slow.rm"});
  component.clips["slow.rm"] = ScriptedClip{120, 160, 1000000, 10};
  host.on_events = [&](int pass) {
    if (pass == 3) frm.Form_Click();
  };
  int16_t index = 0;
  frm.PlayTrack(index);
  EXPECT_EQ(host.passes, 3);
  EXPECT_EQ(component.calls,
            (std::vector<std::string>{"Height", "Width", "Top", "Left", "Visible"}));
  EXPECT_FLOAT_EQ(component.last["Height"], 0);
}

TEST_F(FrmMainTest, HoldsAHundredEntriesAndTheEmptyOneAndValuesWhole) {
  std::vector<std::string> lines;
  std::string long_path = "C:\\" + std::string(75, 'x') + "\\clip.rm";
  lines.push_back("PlayList =" + long_path);
  for (int i = 1; i < 120; ++i) lines.push_back("PlayList =" + std::to_string(i) + ".rm");
  store.file = SettingsWith(lines);
  for (int16_t index : {int16_t{0}, int16_t{99}, int16_t{100}}) {
    int16_t i = index;
    frm.PlayTrack(i);
    EXPECT_EQ(i, index) << "PlayTrack changed its index";
  }
  EXPECT_EQ(frm.PlayListCount, 100);
  EXPECT_EQ(component.sources, (std::vector<std::string>{long_path, "99.rm", ""}));
}

}  // namespace
}  // namespace quorvane::saver
