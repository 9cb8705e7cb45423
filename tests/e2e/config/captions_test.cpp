// Every caption of the real dialog shows whole, in its colour, at 96, 120 and 144 DPI: drawn in
// its place it takes as many columns as when its control is laid for a moment across the whole
// dialog, above the others, where nothing cuts it off. A caption's columns are those where the
// control drawn with its caption shows the caption's colour and drawn without it did not.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "config/control_ids.h"
#include "config/expected_layout.h"
#include "support/dialog_driver.h"

namespace quorvane::e2e {
namespace {

using namespace quorvane::config;

bool Near(uint32_t pixel, COLORREF colour) {
  int distance = std::abs(static_cast<int>((pixel >> 16) & 0xFF) - GetRValue(colour)) +
                 std::abs(static_cast<int>((pixel >> 8) & 0xFF) - GetGValue(colour)) +
                 std::abs(static_cast<int>(pixel & 0xFF) - GetBValue(colour));
  return distance < 160;
}

struct Columns {
  int first = -1, last = -1;
  int Count() const { return last - first + 1; }
};

// The columns of a part of the screen where the second capture shows the colour and the first
// showed something else.
Columns InkColumns(const std::vector<uint32_t>& before, const std::vector<uint32_t>& after,
                   int width, int height, COLORREF colour) {
  Columns ink;
  if (before.size() != after.size() ||
      after.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
    return ink;
  }
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      size_t at = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
      if (after[at] == before[at] || !Near(after[at], colour)) continue;
      if (ink.first < 0) ink.first = x;
      ink.last = x;
      break;
    }
  }
  return ink;
}

// The columns of part (of the dialog's client area) that the control's caption takes.
Columns CaptionColumns(DialogDriver& dialog, HWND control, const RECT& part, COLORREF colour) {
  const std::wstring caption = TextOf(control);
  // What the screen shows there once the control has been drawn anew over what lies behind it,
  // and stays so (two reads alike in a row). What lies behind is drawn while the control is
  // hidden, and at once: a frame draws no background of its own, neither over its old caption
  // nor over the controls it lies on when laid across the dialog.
  auto capture = [&] {
    const UINT still = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(control, nullptr, 0, 0, 0, 0, still | SWP_HIDEWINDOW);
    RedrawWindow(dialog.Dialog(), &part, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SetWindowPos(control, nullptr, 0, 0, 0, 0, still | SWP_SHOWWINDOW);
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    dialog.Settle();
    std::vector<uint32_t> last;
    for (int read = 0; read < 20; ++read) {
      Sleep(60);
      std::vector<uint32_t> now = ScreenPixels(dialog.Dialog(), part);
      if (now == last) break;
      last = std::move(now);
    }
    return last;
  };
  SetWindowTextW(control, L"");
  std::vector<uint32_t> without = capture();
  SetWindowTextW(control, caption.c_str());
  std::vector<uint32_t> with = capture();
  return InkColumns(without, with, part.right - part.left, part.bottom - part.top, colour);
}

void ExpectEveryCaptionWhole(int dpi) {
  SCOPED_TRACE(dpi);
  ScreenDpi screen(static_cast<DWORD>(dpi));
  ProgramFolder folder;
  DialogDriver dialog(folder);
  ASSERT_TRUE(dialog.Opened());
  dialog.Settle();
  Sleep(200);
  SaveScreenshot(L"dialog-" + std::to_wstring(dpi) + L"dpi");
  RECT client;
  GetClientRect(dialog.Dialog(), &client);
  for (const Expected& e : kExpected) {
    if (!e.caption || !*e.caption) continue;
    SCOPED_TRACE(Narrow(e.caption));
    HWND control = dialog.Item(e.id);
    const COLORREF colour = GetSysColor(e.caption_colour);
    const RECT place = RectInParent(control);
    const int height = place.bottom - place.top;
    Columns shown = CaptionColumns(dialog, control, place, colour);
    HWND above = GetWindow(control, GW_HWNDPREV);
    SetWindowPos(control, HWND_TOP, 0, place.top, client.right, height, SWP_NOACTIVATE);
    Columns whole =
        CaptionColumns(dialog, control, RECT{0, place.top, client.right, place.bottom}, colour);
    SetWindowPos(control, above ? above : HWND_TOP, place.left, place.top, place.right - place.left,
                 height, SWP_NOACTIVATE);
    RedrawWindow(dialog.Dialog(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    dialog.Settle();
    ASSERT_GE(whole.first, 0) << "the caption did not show in its colour";
    EXPECT_EQ(shown.Count(), whole.Count())
        << "the caption shows " << shown.Count() << " of its " << whole.Count() << " columns";
  }
}

TEST(DialogCaptions, EveryCaptionShowsWholeAt96Dpi) { ExpectEveryCaptionWhole(96); }

// The two labels are bars of their own background, "Play List" on the system's grey-text colour
// and the title on pure red, each with its text in the middle.
TEST(DialogCaptions, TheLabelsFillTheirBarsAndCentreTheirText) {
  ProgramFolder folder;
  DialogDriver dialog(folder);
  ASSERT_TRUE(dialog.Opened());
  dialog.Settle();
  Sleep(200);
  struct Label {
    int id;
    COLORREF background;
  } labels[] = {{kIdLblPlayList, GetSysColor(COLOR_GRAYTEXT)}, {kIdLblTitle, RGB(255, 0, 0)}};
  for (const Label& label : labels) {
    SCOPED_TRACE(label.id);
    HWND item = dialog.Item(label.id);
    RECT place = RectInParent(item);
    const int width = place.right - place.left;
    // What a control stacked above covers of the label (the playlist's top edge lies over the
    // heading's last row) shows that control, not the label.
    std::vector<RECT> covers;
    for (HWND w = GetWindow(item, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
      RECT cover;
      GetWindowRect(w, &cover);
      MapWindowPoints(nullptr, item, reinterpret_cast<POINT*>(&cover), 2);
      if (IsWindowVisible(w)) covers.push_back(cover);
    }
    std::vector<uint32_t> pixels = ScreenPixels(item);
    ASSERT_EQ(pixels.size(),
              static_cast<size_t>(width) * static_cast<size_t>(place.bottom - place.top));
    const uint32_t background = (GetRValue(label.background) << 16) |
                                (GetGValue(label.background) << 8) | GetBValue(label.background);
    size_t own = 0, filled = 0;
    Columns ink;
    for (size_t at = 0; at < pixels.size(); ++at) {
      POINT pixel{static_cast<int>(at % static_cast<size_t>(width)),
                  static_cast<int>(at / static_cast<size_t>(width))};
      if (std::ranges::any_of(covers, [pixel](const RECT& r) { return PtInRect(&r, pixel); })) {
        continue;
      }
      ++own;
      if (pixels[at] == background) {
        ++filled;
        continue;
      }
      const int x = static_cast<int>(pixel.x);
      if (ink.first < 0 || x < ink.first) ink.first = x;
      ink.last = std::max(ink.last, x);
    }
    EXPECT_GT(own, pixels.size() * 3 / 4) << "the label is covered";
    EXPECT_GT(filled, own / 2) << "the bar is not in its background colour";
    ASSERT_GE(ink.first, 0) << "no text";
    int left = ink.first;
    int right = width - 1 - ink.last;
    EXPECT_GT(left, 0);
    EXPECT_NEAR(left, right, 1) << "the text is not centred";
  }
}

TEST(DialogCaptions, EveryCaptionShowsWholeAt120And144Dpi) {
  for (int dpi : {120, 144}) ExpectEveryCaptionWhole(dpi);
}

}  // namespace
}  // namespace quorvane::e2e
