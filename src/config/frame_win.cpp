#include "config/frame_win.h"

#include <string>

#include "config/common_controls_win.h"
#include "win/text_win.h"

namespace quorvane::config {
namespace {

constexpr UINT_PTR kSubclassId = 1;

void Paint(HWND frame) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(frame, &paint);
  RECT client;
  GetClientRect(frame, &client);
  HGDIOBJ old_font =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(frame, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics;
  GetTextMetricsW(dc, &metrics);

  // The border runs through the middle of the caption's line, as a group box's does.
  RECT border = client;
  border.top += metrics.tmHeight / 2;
  DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);

  std::wstring caption = win::WindowText(frame);
  SIZE extent{};
  GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
  int indent = metrics.tmAveCharWidth;
  RECT label{client.left + indent - 2, client.top, client.left + indent + extent.cx + 2,
             client.top + metrics.tmHeight};
  FillRect(dc, &label, GetSysColorBrush(COLOR_BTNFACE));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHT));
  TextOutW(dc, client.left + indent, client.top, caption.c_str(), static_cast<int>(caption.size()));

  SelectObject(dc, old_font);
  EndPaint(frame, &paint);
}

LRESULT CALLBACK FrameProc(HWND frame, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                           DWORD_PTR) noexcept {
  switch (msg) {
    case WM_PAINT:
      // Called from Windows' own code: nothing may be thrown through it.
      try {
        Paint(frame);
        return 0;
      } catch (...) {
        break;
      }
    case WM_SETTEXT:
    case WM_SETFONT: {
      // The group box would draw its caption at once; draw it our way instead.
      SendMessageW(frame, WM_SETREDRAW, FALSE, 0);
      LRESULT result = LoadCommonControls()->def_subclass(frame, msg, wp, lp);
      SendMessageW(frame, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(frame, nullptr, TRUE);
      return result;
    }
    case WM_NCDESTROY:
      LoadCommonControls()->remove_subclass(frame, FrameProc, kSubclassId);
      break;
    default:
      break;
  }
  return LoadCommonControls()->def_subclass(frame, msg, wp, lp);
}

}  // namespace

void PaintFrameCaptionInHighlight(HWND group_box) {
  // Only once subclassed does the frame procedure run, so the functions are there by then.
  if (const CommonControls* controls = LoadCommonControls()) {
    controls->set_subclass(group_box, FrameProc, kSubclassId, 0);
  }
}

}  // namespace quorvane::config
