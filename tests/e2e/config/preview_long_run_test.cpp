// Five hundred previews in a row through double clicks, alternating between the file list and
// the playlist and between clips of two shapes, with a broken clip now and then: the dialog's
// memory, handles and window-system objects must level off, and every clip still shows.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "config/control_ids.h"
#include "support/dialog_driver.h"
#include "support/resources.h"

namespace quorvane::e2e {
namespace {

using namespace quorvane::config;

constexpr int kPreviews = 500;

struct PreviewClip {
  std::wstring path;
  int fitted_rows;  // its picture fitted into the 145 x 129 preview box
};

TEST(DialogLongRun, FiveHundredPreviewsLevelOffAndEveryClipStillShows) {
  const PreviewClip clips[2] = {{ClipsFolder() + L"\\medium.rm", 109},  // 320 x 240
                                {ClipsFolder() + L"\\qcif.rm", 119}};   // 176 x 144
  std::wstring corrupt = ClipsFolder() + L"\\corrupt.rm";
  ProgramFolder folder;
  folder.WriteSettings(Line("ListPath =", ClipsFolder()) + Line("PlayList =", clips[0].path) +
                       Line("PlayList =", clips[1].path));
  DialogDriver dialog(folder);
  ASSERT_TRUE(dialog.Opened());
  Texts files = dialog.ListTexts(kIdFilSel);
  const int file_index[2] = {FindText(files, L"medium.rm"), FindText(files, L"qcif.rm")};
  const int corrupt_index = FindText(files, L"corrupt.rm");
  ASSERT_GE(file_index[0], 0);
  ASSERT_GE(file_index[1], 0);
  ASSERT_GE(corrupt_index, 0);
  HWND preview = dialog.Item(kIdReaAudioPre);

  std::vector<ResourceSample> samples;
  for (int i = 0; i < kPreviews; ++i) {
    if (i % 25 == 0) samples.push_back(SampleResources(dialog.Program().Handle(), i));
    if (i % 50 == 49) {
      dialog.DoubleClick(kIdFilSel, corrupt_index);
      ASSERT_EQ(TextOf(preview), corrupt) << "preview " << i;
      continue;
    }
    const PreviewClip& clip = clips[i % 2];
    if (i % 4 < 2) {
      dialog.DoubleClick(kIdLstPlay, i % 2);
    } else {
      dialog.DoubleClick(kIdFilSel, file_index[i % 2]);
    }
    ASSERT_EQ(TextOf(preview), clip.path) << "preview " << i;
    // Every tenth clip is left to play until its own picture shows, so that the previews do
    // not only start and stop but also decode and paint.
    if (i % 10 == 8) {
      LitBox box;
      ASSERT_TRUE(WaitUntil(
          [&] {
            box = LitBoxOf(preview);
            return box.left >= 0 && std::abs(box.bottom - box.top + 1 - clip.fitted_rows) <= 3;
          },
          10000))
          << "preview " << i << ": " << box.bottom - box.top + 1 << " rows lit";
    }
  }
  samples.push_back(SampleResources(dialog.Program().Handle(), kPreviews));
  // Previewing never adds: the playlist is as it was loaded.
  EXPECT_EQ(dialog.ListTexts(kIdLstPlay), (Texts{clips[0].path, clips[1].path}));
  ExpectLevelsOff(samples, 100, 250);
  dialog.Click(kIdCmdCancel);
  EXPECT_TRUE(dialog.Program().WaitForExit(5000));
}

}  // namespace
}  // namespace quorvane::e2e
