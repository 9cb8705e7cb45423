// The playback component as a real Win32 child window: size, painting, end, mouse transparency.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <vector>

#include "player/output/playback_window_win.h"
#include "support/support.h"

namespace quorvane::e2e {
namespace {

// Processes messages until condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeout_ms) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    if (condition()) return true;
    if (GetTickCount() - start > timeout_ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// The pixels of this part of the window as shown on screen (the whole client area when part
// is empty), 0x00RRGGBB each.
std::vector<uint32_t> Grab(HWND window, RECT part = {}) { return ScreenPixels(window, part); }

// Share of the pixels that are not black.
double LitShare(const std::vector<uint32_t>& pixels) {
  size_t lit = std::count_if(pixels.begin(), pixels.end(), [](uint32_t p) { return p > 0x101010; });
  return pixels.empty() ? 0 : static_cast<double>(lit) / static_cast<double>(pixels.size());
}

// Distinct colours at three bits a channel: the test pattern has its bars, gradients and
// digits; a plain fill has one.
size_t Colours(const std::vector<uint32_t>& pixels) {
  std::set<uint32_t> colours;
  for (uint32_t p : pixels) colours.insert(p & 0xE0E0E0);
  return colours.size();
}

class PlaybackWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 0, 0, 400,
                            300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host_, nullptr);
    component_ = player::CreatePlaybackWindow(host_, 1, RECT{10, 10, 170, 130}, true);
    ASSERT_NE(component_, nullptr);
  }
  void TearDown() override {
    component_.reset();
    DestroyWindow(host_);
  }
  HWND host_ = nullptr;
  std::unique_ptr<player::PlaybackWindow> component_;
};

TEST_F(PlaybackWindowTest, ReportsThePictureSizePaintsTheClipAndEnds) {
  std::wstring clip = ClipsFolder() + L"\\small.rm";
  PumpUntil([] { return false; }, 200);
  EXPECT_LT(LitShare(Grab(component_->Handle())), 0.01) << "not black before the first picture";

  component_->SetSource(Narrow(clip));
  EXPECT_NE(component_->PlayState(), 0);
  EXPECT_EQ(TextOf(component_->Handle()), clip);
  ASSERT_TRUE(PumpUntil([&] { return component_->ClipHeight() != 0; }, 10000));
  EXPECT_EQ(component_->ClipHeight(), 120);
  EXPECT_EQ(component_->ClipWidth(), 160);

  PumpUntil([] { return false; }, 500);
  // The test pattern is colourful nearly everywhere.
  std::vector<uint32_t> shown = Grab(component_->Handle());
  EXPECT_GT(LitShare(shown), 0.5);
  EXPECT_GE(Colours(shown), 12u);
  EXPECT_TRUE(PumpUntil([&] { return component_->PlayState() == 0; }, 10000));
}

TEST_F(PlaybackWindowTest, TakesTheGeometryItIsGivenAndLetsTheMouseThrough) {
  component_->SetHeight(60.4f);
  component_->SetWidth(80.6f);
  component_->SetTop(20);
  component_->SetLeft(30);
  component_->SetVisible(true);
  RECT rect = RectInParent(component_->Handle());
  EXPECT_EQ(rect.left, 30);
  EXPECT_EQ(rect.top, 20);
  EXPECT_EQ(rect.right - rect.left, 81);
  EXPECT_EQ(rect.bottom - rect.top, 60);
  EXPECT_EQ(SendMessageW(component_->Handle(), WM_NCHITTEST, 0, MAKELPARAM(40, 30)), HTTRANSPARENT);
  component_->SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(component_->Handle()));
}

TEST_F(PlaybackWindowTest, AnUnplayableSourceEndsAtOnce) {
  for (const std::wstring& source : {std::wstring(), ClipsFolder() + L"\\missing.rm"}) {
    component_->SetSource(Narrow(source));
    EXPECT_TRUE(PumpUntil([&] { return component_->PlayState() == 0; }, 2000));
    EXPECT_EQ(component_->ClipHeight(), 0);
  }
}

TEST_F(PlaybackWindowTest, PlaysAClipWhosePathIsNotInTheCodePage) {
  // UTF-8 inside, wide at the file system: a folder name of Japanese and accented letters, a
  // metafile in it naming the clip beside it.
  ProgramFolder folder(L"\u30af\u30ea\u30c3\u30d7-\u00e9t\u00e9");
  std::wstring clip = folder.Join(L"\u8a66\u9a13.rm");
  ASSERT_TRUE(CopyFileW((ClipsFolder() + L"\\small.rm").c_str(), clip.c_str(), FALSE));
  folder.WriteBytes(L"list.ram", "# the clip beside this file\r\n\xe8\xa9\xa6\xe9\xa8\x93.rm\r\n");
  for (const std::wstring& source : {clip, folder.Join(L"list.ram")}) {
    SCOPED_TRACE(Narrow(source));
    component_->SetSource(Narrow(source));
    EXPECT_EQ(TextOf(component_->Handle()), source);
    ASSERT_TRUE(PumpUntil([&] { return component_->ClipHeight() != 0; }, 10000));
    EXPECT_EQ(component_->ClipWidth(), 160);
  }
  component_->SetSource("");
}

TEST_F(PlaybackWindowTest, FitsThePictureWithBlackBandsForThePreview) {
  // A square window: the 4:3 picture fills its width, with black bands above and below.
  component_->SetHeight(200);
  component_->SetWidth(200);
  component_->SetFitPicture(true);
  component_->SetSource(Narrow(ClipsFolder() + L"\\small.rm"));
  ASSERT_TRUE(PumpUntil([&] { return component_->ClipHeight() != 0; }, 10000));
  PumpUntil([] { return false; }, 500);
  HWND window = component_->Handle();
  EXPECT_LT(LitShare(Grab(window, RECT{0, 0, 200, 24})), 0.01) << "the band above";
  EXPECT_LT(LitShare(Grab(window, RECT{0, 176, 200, 200})), 0.01) << "the band below";
  EXPECT_GT(LitShare(Grab(window, RECT{0, 26, 200, 174})), 0.5) << "the picture";
  component_->SetSource("");
}

TEST_F(PlaybackWindowTest, PaintsEachPictureWhileTheHostsThreadProcessesNoMessages) {
  // The component's own thread paints: a host busy elsewhere, or asleep until its wake event,
  // still shows the clip's pictures as they fall due.
  component_->SetSource(Narrow(ClipsFolder() + L"\\small.rm"));
  ASSERT_TRUE(WaitUntil([&] { return component_->ClipHeight() == 120; }, 5000));
  std::set<std::vector<uint32_t>> seen;
  for (int i = 0; i < 8; ++i) {
    Sleep(150);
    std::vector<uint32_t> shown = Grab(component_->Handle());
    if (LitShare(shown) > 0.5) seen.insert(shown);
  }
  // The test pattern moves with each picture: eight looks 150 ms apart see as many pictures.
  EXPECT_GE(seen.size(), 6u) << "pictures shown only while the host processes messages";
  component_->SetSource("");
}

TEST_F(PlaybackWindowTest, SignalsItsWakeEventWithoutAnyMessageProcessed) {
  HANDLE wake = component_->WakeEvent();
  ASSERT_NE(wake, nullptr);
  component_->SetSource(Narrow(ClipsFolder() + L"\\small.rm"));
  // The worker signals the size, each picture and the end; the host waits on it.
  EXPECT_EQ(WaitForSingleObject(wake, 5000), WAIT_OBJECT_0);
  EXPECT_TRUE(WaitUntil([&] { return component_->ClipHeight() == 120; }, 5000));
  EXPECT_EQ(WaitForSingleObject(wake, 1000), WAIT_OBJECT_0);
  component_->SetSource("");
}

}  // namespace
}  // namespace quorvane::e2e
