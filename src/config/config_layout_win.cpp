// The settings dialog's controls made from the layout table, stacked, placed and given their
// fonts at the window's DPI (again when it changes), the client area sized to the layout, and
// the tool tips of the two lists.
#include "config/config_dialog_win.h"

#include <commctrl.h>

#include "config/control_create_win.h"
#include "config/control_ids.h"
#include "config/layout.h"
#include "win/app_win.h"

namespace quorvane::config {
namespace {

constexpr wchar_t kPreviewTip[] = L"ファイルＩＤをダブルクリックでプレビュー";

// Z order, top first: the controls that take input, txtSizeFree above the option buttons (it
// lies over the blanks of optSizeSel(4)'s caption), each option array in one run (the arrow
// keys move within it), then the preview, the labels and, at the bottom, the frames.
constexpr int kZOrder[] = {
    kIdCmdOk,           kIdCmdCancel,       kIdTxtSizeFree,     kIdOptSizeSel0,
    kIdOptSizeSel0 + 1, kIdOptSizeSel0 + 2, kIdOptSizeSel0 + 3, kIdOptSizeSel0 + 4,
    kIdOptSizeSel0 + 5, kIdLstPlay,         kIdDrvSel,          kIdDirSel,
    kIdFilSel,          kIdCmdAdd,          kIdCmdDel,          kIdOptPosSel0,
    kIdOptPosSel0 + 1,  kIdOptJyunSel0,     kIdOptJyunSel0 + 1, kIdCmdUp,
    kIdCmdDown,         kIdReaAudioPre,     kIdLblPlayList,     kIdLblTitle,
    kIdFraSizeSel,      kIdFraFileSel,      kIdFraPosSel,       kIdFraJyunSel,
};

}  // namespace

void ConfigWindow::CreateControls() {
  for (const ControlLayout& control : kLayout) {
    PixelRect place = PlaceOf(control, dpi_);
    if (control.kind != Kind::kPreview) {
      CreateControl(Handle(), control, place);
      continue;
    }
    preview_ = player::CreatePlaybackWindow(
        Handle(), control.id, RECT{place.left, place.top, place.right, place.bottom}, true);
    preview_->SetFitPicture(true);
  }
  for (int id : kZOrder) {
    SetWindowPos(Item(id), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  // The design-time selections.
  for (int id : {kIdOptSizeSel0 + 1, kIdOptPosSel0, kIdOptJyunSel0}) {
    SendMessageW(Item(id), BM_SETCHECK, BST_CHECKED, 0);
  }
}

// Places every control and gives it its font at the window's DPI (again after a DPI change).
void ConfigWindow::ApplyLayout() {
  for (const ControlLayout& control : kLayout) {
    HWND item = Item(control.id);
    PixelRect place = PlaceOf(control, dpi_);
    SetWindowPos(item, nullptr, place.left, place.top, place.right - place.left,
                 WindowHeight(control, place), SWP_NOZORDER | SWP_NOACTIVATE);
    if (control.kind == Kind::kPreview) continue;
    HFONT font = control.kind == Kind::kFrame   ? fonts_->Frames()
                 : control.id == kIdLblPlayList ? fonts_->Heading()
                 : control.id == kIdLblTitle    ? fonts_->Title()
                                                : fonts_->Controls();
    SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (control.kind == Kind::kDriveList) {
      // The closed box is as high as the layout says: adjust the selection field's height.
      RECT closed;
      GetWindowRect(item, &closed);
      LRESULT field = SendMessageW(item, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
      LRESULT wanted = field + (place.bottom - place.top) - (closed.bottom - closed.top);
      SendMessageW(item, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), wanted);
    }
    if (control.kind == Kind::kDirList) {
      TEXTMETRICW metrics;
      HDC dc = GetDC(item);
      HGDIOBJ old = SelectObject(dc, font);
      GetTextMetricsW(dc, &metrics);
      SelectObject(dc, old);
      ReleaseDC(item, dc);
      SendMessageW(item, LB_SETITEMHEIGHT, 0, metrics.tmHeight + MulDiv(2, dpi_, 96));
    }
  }
}

// The client area is the layout's size in pixels at the window's DPI, whatever the frame takes.
void ConfigWindow::FitClientArea() {
  int width = TwipsToPixels(kClientWidthTwips, dpi_);
  int height = TwipsToPixels(kClientHeightTwips, dpi_);
  RECT window, client;
  GetWindowRect(Handle(), &window);
  GetClientRect(Handle(), &client);
  SetWindowPos(Handle(), nullptr, 0, 0, window.right - window.left + width - client.right,
               window.bottom - window.top + height - client.bottom,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The tool tips see the lists' mouse messages through the message loop (PreTranslate) rather
// than by subclassing the lists: a subclassed list box takes a costly detour for every message,
// under Wine a tenth of a millisecond, and a folder of thousands of clips sends thousands.
void ConfigWindow::AddTooltips() {
  tip_ =
      CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                      WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr, win::AppInstance(), nullptr);
  for (int id : {kIdFilSel, kIdLstPlay}) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(Item(id));
    tool.lpszText = const_cast<wchar_t*>(kPreviewTip);
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

win::Window::Result ConfigWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  dpi_ = dpi;
  // The controls draw with the old fonts until the layout hands them the new ones: the old go
  // only after that.
  std::unique_ptr<DialogFonts> old_fonts = std::move(fonts_);
  fonts_ = std::make_unique<DialogFonts>(dpi_);
  SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  FitClientArea();
  ApplyLayout();
  return 0;
}

}  // namespace quorvane::config
