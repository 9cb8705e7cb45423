// The saver left running on a 100-entry playlist of short clips (some missing, one corrupt, one
// without a picture, some with sound, one .ram): its memory, handles and window-system objects
// must level off after the first pass, and the clips keep starting in order. With a sound
// device in the session, every clip with sound opens and closes it. The length of the run is
// QUORVANE_LONG_RUN_SECONDS (scripts/test runs a short one, scripts/soak ten minutes).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "support/resources.h"
#include "support/support.h"

namespace quorvane::e2e {
namespace {

TEST(LongRun, TheSaverLevelsOffAndKeepsPlayingInOrder) {
  wchar_t buffer[32];
  double length =
      GetEnvironmentVariableW(L"QUORVANE_LONG_RUN_SECONDS", buffer, 32) > 0 ? _wtof(buffer) : 170;
  std::wstring clips = ClipsFolder() + L"\\";
  const wchar_t* kinds[] = {L"short.rm",   L"short-qcif.rm", L"missing.rm", L"short-ac3.rm",
                            L"corrupt.rm", L"short-tone.rm", L"list.ram",   L"short-qcif.rm",
                            L"missing.rm", L"short-ac3.rm"};
  std::string settings = "SizeSel  =2\r\nPosSel   =1\r\n";
  std::vector<std::wstring> playlist;
  for (int i = 0; i < 100; ++i) {
    // list.ram plays the three-second clip: once in the list is enough.
    std::wstring kind = i == 6                                       ? L"list.ram"
                        : kinds[i % 10] == std::wstring(L"list.ram") ? L"short.rm"
                                                                     : kinds[i % 10];
    playlist.push_back(clips + kind);
    settings += "PlayList =" + Ansi(clips + kind) + "\r\n";
  }

  ProgramFolder folder(L"quorvane-long");
  folder.WriteSettings(settings);
  Process saver(folder.Scr(), L"/s");
  HWND window = saver.WaitForWindow(L"QuorvaneSaver", L"Form1", 15000);
  ASSERT_NE(window, nullptr);
  std::vector<HWND> children = Children(window, L"QuorvanePlayback");
  ASSERT_EQ(children.size(), 1u);
  HWND component = children[0];

  auto start = std::chrono::steady_clock::now();
  auto elapsed = [&] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  std::vector<ResourceSample> samples;
  std::vector<std::wstring> started;
  double next_sample = 0;
  while (elapsed() < length) {
    std::wstring text = TextOf(component);
    if (!text.empty() && (started.empty() || started.back() != text)) started.push_back(text);
    if (elapsed() >= next_sample) {
      samples.push_back(SampleResources(saver.Handle(), elapsed()));
      next_sample += 3;
    }
    Sleep(20);
    ASSERT_TRUE(saver.Running()) << "the saver ended by itself";
  }
  PostKey(window, VK_SPACE);
  EXPECT_TRUE(saver.WaitForExit(5000));

  // In order: every clip seen is the playlist's next one (missing and failing clips end too
  // fast to be seen every time, so they may be skipped over, but nothing goes backwards
  // except at the wrap).
  ASSERT_GT(started.size(), 20u);
  size_t position = 0;
  int wraps = 0;
  for (const std::wstring& clip : started) {
    size_t found = std::find(playlist.begin() + static_cast<long>(position), playlist.end(), clip) -
                   playlist.begin();
    if (found == playlist.size()) {
      found = std::find(playlist.begin(), playlist.end(), clip) - playlist.begin();
      ++wraps;
    }
    ASSERT_LT(found, playlist.size()) << Narrow(clip);
    position = found;
  }
  std::printf("%zu clip starts seen in %.0f s, %d passes completed\n", started.size(), length,
              wraps);
  // A pass of the hundred entries takes a little over a minute and a half.
  if (length >= 150) {
    EXPECT_GE(wraps, 1) << "the list did not start over";
  }

  // Levelling off: the second half's peak stays near the peak of the stretch after the start.
  ExpectLevelsOff(samples, length * 0.2, length * 0.5);
}

}  // namespace
}  // namespace quorvane::e2e
