// Every caption of the real dialog shows whole at 96, 120 and 144 DPI. Each control with a
// caption is laid for a moment across the whole dialog, above the others, so that its caption
// shows in full in the font and the drawing of the running dialog; the columns the caption takes
// there are measured against the control's own width less what it draws beside its text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "config/control_ids.h"
#include "support/dialog_driver.h"

namespace quorvane::e2e {
namespace {

using namespace quorvane::config;

enum class Drawn { kOption, kButton, kLabel, kFrame };

struct Captioned {
  int id;
  Drawn drawn;
  int text_colour;  // the system colour the caption is drawn in
};

const Captioned kCaptioned[] = {
    {kIdCmdOk, Drawn::kButton, COLOR_BTNTEXT},
    {kIdCmdCancel, Drawn::kButton, COLOR_BTNTEXT},
    {kIdCmdAdd, Drawn::kButton, COLOR_BTNTEXT},
    {kIdCmdDel, Drawn::kButton, COLOR_BTNTEXT},
    {kIdCmdUp, Drawn::kButton, COLOR_BTNTEXT},
    {kIdCmdDown, Drawn::kButton, COLOR_BTNTEXT},
    {kIdOptSizeSel0, Drawn::kOption, COLOR_BTNTEXT},
    {kIdOptSizeSel0 + 1, Drawn::kOption, COLOR_BTNTEXT},
    {kIdOptSizeSel0 + 2, Drawn::kOption, COLOR_BTNTEXT},
    {kIdOptSizeSel0 + 3, Drawn::kOption, COLOR_BTNTEXT},
    {kIdOptSizeSel0 + 4, Drawn::kOption, COLOR_BTNTEXT},
    {kIdOptSizeSel0 + 5, Drawn::kOption, COLOR_BTNTEXT},
    {kIdOptPosSel0, Drawn::kOption, COLOR_BTNTEXT},
    {kIdOptPosSel0 + 1, Drawn::kOption, COLOR_BTNTEXT},
    {kIdOptJyunSel0, Drawn::kOption, COLOR_GRAYTEXT},  // disabled
    {kIdOptJyunSel0 + 1, Drawn::kOption, COLOR_GRAYTEXT},
    {kIdLblPlayList, Drawn::kLabel, COLOR_HIGHLIGHTTEXT},
    {kIdLblTitle, Drawn::kLabel, COLOR_CAPTIONTEXT},
    {kIdFraFileSel, Drawn::kFrame, COLOR_HIGHLIGHT},
    {kIdFraSizeSel, Drawn::kFrame, COLOR_HIGHLIGHT},
    {kIdFraPosSel, Drawn::kFrame, COLOR_HIGHLIGHT},
    {kIdFraJyunSel, Drawn::kFrame, COLOR_HIGHLIGHT},
};

bool Near(uint32_t pixel, COLORREF colour) {
  int distance = std::abs(static_cast<int>((pixel >> 16) & 0xFF) - GetRValue(colour)) +
                 std::abs(static_cast<int>((pixel >> 8) & 0xFF) - GetGValue(colour)) +
                 std::abs(static_cast<int>(pixel & 0xFF) - GetBValue(colour));
  return distance < 160;
}

struct Columns {
  int first = -1, last = -1;
};

// The columns of a part of the screen where the second capture shows the text colour and the
// first showed something else: what the control drew, not what shows through around it.
Columns InkColumns(const std::vector<uint32_t>& before, const std::vector<uint32_t>& after,
                   int width, int height, COLORREF colour, int margin_x, int margin_y) {
  Columns ink;
  if (before.size() != after.size() ||
      after.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
    return ink;
  }
  for (int x = margin_x; x < width - margin_x; ++x) {
    for (int y = margin_y; y < height - margin_y; ++y) {
      size_t at = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
      if (after[at] == before[at] || !Near(after[at], colour)) continue;
      if (ink.first < 0) ink.first = x;
      ink.last = x;
      break;
    }
  }
  return ink;
}

// How many pixels the caption is too wide for its control (0 or less: it fits), measured with
// the control laid across the dialog; nothing when the caption did not show at all.
std::optional<int> Overflow(DialogDriver& dialog, const Captioned& c, int dpi) {
  HWND control = dialog.Item(c.id);
  RECT place = RectInParent(control);
  int width = place.right - place.left;
  int height = place.bottom - place.top;
  HWND below = GetWindow(control, GW_HWNDPREV);
  RECT client;
  GetClientRect(dialog.Dialog(), &client);
  RECT across{0, place.top, client.right, place.bottom};
  auto capture = [&] {
    dialog.Settle();
    Sleep(60);
    return ScreenPixels(dialog.Dialog(), across);
  };
  SetWindowPos(control, HWND_TOP, 0, place.top, client.right, height,
               SWP_NOACTIVATE | SWP_HIDEWINDOW);
  std::vector<uint32_t> before = capture();
  ShowWindow(control, SW_SHOWNA);
  RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  std::vector<uint32_t> after = capture();
  SetWindowPos(control, below ? below : HWND_TOP, place.left, place.top, width, height,
               SWP_NOACTIVATE);
  dialog.Settle();

  auto px = [dpi](int at96) { return MulDiv(at96, dpi, 96); };
  COLORREF colour = GetSysColor(c.text_colour);
  auto columns = [&](int margin_x, int margin_y) {
    return InkColumns(before, after, client.right, height, colour, margin_x, margin_y);
  };
  Columns ink;
  int overflow = 0;
  switch (c.drawn) {
    case Drawn::kOption:
      // Left-aligned after the circle: its last column must lie inside the control.
      ink = columns(0, 0);
      overflow = ink.last - (width - 1 - px(1));
      break;
    case Drawn::kButton:
      // Centred between the edges (and the focus rectangle): its width must fit between them.
      ink = columns(px(6), px(4));
      overflow = (ink.last - ink.first + 1) - (width - 2 * px(4));
      break;
    case Drawn::kLabel:
      ink = columns(0, 0);
      overflow = (ink.last - ink.first + 1) - (width - 2 * px(1));
      break;
    case Drawn::kFrame:
      // Indented from the left: its last column must lie before the frame's right edge.
      ink = columns(0, 0);
      overflow = ink.last - (width - 1 - px(8));
      break;
  }
  if (ink.first < 0) return std::nullopt;
  return overflow;
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
  for (const Captioned& c : kCaptioned) {
    SCOPED_TRACE(Narrow(TextOf(dialog.Item(c.id))));
    std::optional<int> overflow = Overflow(dialog, c, dpi);
    ASSERT_TRUE(overflow) << "the caption did not show";
    EXPECT_LE(*overflow, 0) << "the caption is " << *overflow << " pixels too wide";
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
    // Rows where a control stacked above covers the label (the playlist's top edge lies over the
    // heading's last row) show that control, not the label.
    RECT own = {0, 0, width, 0};
    for (int y = 0; y < place.bottom - place.top; ++y) {
      POINT at{place.left, place.top + y};
      if (ChildWindowFromPointEx(dialog.Dialog(), at, CWP_SKIPINVISIBLE) == item)
        own.bottom = y + 1;
    }
    std::vector<uint32_t> pixels = ScreenPixels(item, own);
    ASSERT_EQ(pixels.size(), static_cast<size_t>(width) * static_cast<size_t>(own.bottom));
    const uint32_t background = (GetRValue(label.background) << 16) |
                                (GetGValue(label.background) << 8) | GetBValue(label.background);
    size_t filled = 0;
    Columns ink;
    for (size_t at = 0; at < pixels.size(); ++at) {
      if (pixels[at] == background) {
        ++filled;
        continue;
      }
      int x = static_cast<int>(at % static_cast<size_t>(width));
      if (ink.first < 0 || x < ink.first) ink.first = x;
      ink.last = std::max(ink.last, x);
    }
    EXPECT_GE(own.bottom, 15) << "the label is covered";
    EXPECT_GT(filled, pixels.size() / 2) << "the bar is not in its background colour";
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
