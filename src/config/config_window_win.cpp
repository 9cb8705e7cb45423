// The settings dialog's Win32 view: creates the real controls from the layout table, wires them
// to frmConfig's handlers (one route per notification) and keeps the dialog's keyboard rules:
// Tab in the tab order of the layout, no default and no cancel button.
#include "config/config_window_win.h"

#include <commctrl.h>

#include <memory>

#include "config/browser_win.h"
#include "config/control_ids.h"
#include "config/controls_win.h"
#include "config/fonts_win.h"
#include "config/frame_win.h"
#include "config/frm_config.h"
#include "config/layout.h"
#include "player/playback_window_win.h"
#include "settings/settings_store_win.h"
#include "win/app_win.h"
#include "win/text_win.h"

namespace quorvane::config {
namespace {

constexpr wchar_t kClassName[] = L"QuorvaneConfig";
constexpr wchar_t kCaption[] = L"Quorvane【設定】";
constexpr wchar_t kPreviewTip[] = L"ファイルＩＤをダブルクリックでプレビュー";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

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

struct Route {
  int id;
  int code;
  void (FrmConfig::*handler)();
};

constexpr Route kRoutes[] = {
    {kIdCmdOk, BN_CLICKED, &FrmConfig::cmdOk_Click},
    {kIdCmdCancel, BN_CLICKED, &FrmConfig::cmdCancel_Click},
    {kIdDrvSel, CBN_SELCHANGE, &FrmConfig::drvSel_Change},
    {kIdFilSel, LBN_DBLCLK, &FrmConfig::filSel_DblClick},
    {kIdLstPlay, LBN_DBLCLK, &FrmConfig::lstPlay_DblClick},
    {kIdCmdAdd, BN_CLICKED, &FrmConfig::cmdAdd_Click},
    {kIdCmdDel, BN_CLICKED, &FrmConfig::cmdDel_Click},
    {kIdCmdUp, BN_CLICKED, &FrmConfig::cmdUp_Click},
    {kIdCmdDown, BN_CLICKED, &FrmConfig::cmdDown_Click},
};

// Newer Windows scale each window by its monitor's DPI; older ones have one system DPI.
template <typename Function>
Function User32Function(const char* name) {
  FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
  return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

int DpiOf(HWND window) {
  if (auto for_window = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow")) {
    if (UINT dpi = for_window(window)) return static_cast<int>(dpi);
  }
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

bool IsFirstOption(int id) {
  return id == kIdOptSizeSel0 || id == kIdOptPosSel0 || id == kIdOptJyunSel0;
}

bool IsPlayOrder(int id) { return id == kIdOptJyunSel0 || id == kIdOptJyunSel0 + 1; }

class ConfigWindow final : public ConfigHost {
 public:
  ConfigWindow();
  void Load() { form_->Form_Load(); }
  bool PreTranslate(MSG& msg);

  void ShowDialog() override;
  void ShowMessage(const std::string& text) override;
  void EndProcess() override { win::EndProcess(); }

 private:
  static LRESULT CALLBACK WndProc(HWND window, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  void CreateControl(const ControlLayout& control);
  void ApplyLayout();
  void FitClientArea();
  void AddTooltips();
  void OnCommand(int id, int code);
  LRESULT OnCtlColorStatic(HDC dc, HWND control, WPARAM wp, LPARAM lp);
  void OnEnter();
  void OpenFolder();
  void MoveFocus(bool backwards);
  HWND Item(int id) const { return GetDlgItem(window_, id); }
  std::vector<HWND> Items(int first, int count) const;

  HWND window_ = nullptr;
  HWND tip_ = nullptr;
  int dpi_ = 96;
  std::unique_ptr<DialogFonts> fonts_;
  HBRUSH red_ = CreateSolidBrush(RGB(255, 0, 0));
  HWND focus_ = nullptr;  // the control to give the focus back to when the dialog is activated
  std::unique_ptr<player::PlaybackWindow> preview_;
  std::unique_ptr<DriveListWin> drvSel_;
  std::unique_ptr<DirListWin> dirSel_;
  std::unique_ptr<FileListWin> filSel_;
  std::unique_ptr<ListBoxWin> lstPlay_;
  std::unique_ptr<OptionArrayWin> optSizeSel_, optPosSel_, optJyunSel_;
  std::unique_ptr<TextBoxWin> txtSizeFree_;
  std::unique_ptr<settings::SettingsStore> store_;
  std::unique_ptr<FrmConfig> form_;
};

ConfigWindow* loaded_dialog = nullptr;

ConfigWindow::ConfigWindow() {
  INITCOMMONCONTROLSEX common{sizeof(common), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&common);
  HINSTANCE instance = win::AppInstance();
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);
  window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, kCaption, kStyle, CW_USEDEFAULT,
                            CW_USEDEFAULT, 640, 360, nullptr, nullptr, instance, this);
  dpi_ = DpiOf(window_);
  fonts_ = std::make_unique<DialogFonts>(dpi_);

  for (const ControlLayout& control : kLayout) CreateControl(control);
  for (int id : kZOrder) {
    SetWindowPos(Item(id), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  // The design-time selections; the play-order buttons are created disabled.
  for (int id : {kIdOptSizeSel0 + 1, kIdOptPosSel0, kIdOptJyunSel0}) {
    SendMessageW(Item(id), BM_SETCHECK, BST_CHECKED, 0);
  }
  FitClientArea();
  ApplyLayout();
  AddTooltips();

  drvSel_ = std::make_unique<DriveListWin>(Item(kIdDrvSel));
  dirSel_ = std::make_unique<DirListWin>(Item(kIdDirSel));
  filSel_ = std::make_unique<FileListWin>(Item(kIdFilSel));
  filSel_->SetPath(dirSel_->Path());
  lstPlay_ = std::make_unique<ListBoxWin>(Item(kIdLstPlay));
  optSizeSel_ = std::make_unique<OptionArrayWin>(Items(kIdOptSizeSel0, 6));
  optPosSel_ = std::make_unique<OptionArrayWin>(Items(kIdOptPosSel0, 2));
  optJyunSel_ = std::make_unique<OptionArrayWin>(Items(kIdOptJyunSel0, 2));
  txtSizeFree_ = std::make_unique<TextBoxWin>(Item(kIdTxtSizeFree));
  store_ = settings::CreateProgramSettingsStore();
  form_ = std::make_unique<FrmConfig>(
      ConfigControls{*drvSel_, *dirSel_, *filSel_, *lstPlay_, *optSizeSel_, *optPosSel_,
                     *optJyunSel_, *txtSizeFree_, *preview_},
      *store_, *this);
}

std::vector<HWND> ConfigWindow::Items(int first, int count) const {
  std::vector<HWND> items;
  for (int id = first; id < first + count; ++id) items.push_back(Item(id));
  return items;
}

void ConfigWindow::CreateControl(const ControlLayout& control) {
  PixelRect place = PlaceOf(control, dpi_);
  if (control.kind == Kind::kPreview) {
    preview_ = player::CreatePlaybackWindow(
        window_, control.id, RECT{place.left, place.top, place.right, place.bottom}, true);
    preview_->SetFitPicture(true);
    return;
  }
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  DWORD ex_style = 0;
  const wchar_t* window_class = WC_BUTTONW;
  // Every control but the later buttons of an option array starts a group of its own, so that
  // the arrow keys move only within an option array.
  if (control.kind != Kind::kOption || IsFirstOption(control.id)) style |= WS_GROUP;
  switch (control.kind) {
    case Kind::kFrame:
      style |= BS_GROUPBOX;
      break;
    case Kind::kPushButton:
      style |= BS_PUSHBUTTON | WS_TABSTOP;
      break;
    case Kind::kOption:
      style |= BS_AUTORADIOBUTTON | (IsFirstOption(control.id) ? WS_TABSTOP : 0) |
               (IsPlayOrder(control.id) ? WS_DISABLED : 0);
      break;
    case Kind::kTextBox:
      window_class = WC_EDITW;
      style |= ES_AUTOHSCROLL | WS_TABSTOP;
      ex_style = WS_EX_CLIENTEDGE;
      break;
    case Kind::kLabel:
      window_class = WC_STATICW;
      style |= SS_CENTER | SS_NOPREFIX;
      break;
    case Kind::kDriveList:
      window_class = WC_COMBOBOXW;
      style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
      place.bottom += (place.bottom - place.top) * 8;  // the height of the dropped-down list
      break;
    case Kind::kDirList:
      window_class = WC_LISTBOXW;
      style |= LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT |
               WS_VSCROLL | WS_TABSTOP;
      ex_style = WS_EX_CLIENTEDGE;
      break;
    case Kind::kFileList:
    case Kind::kListBox:
      window_class = WC_LISTBOXW;
      style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP |
               (control.kind == Kind::kFileList ? LBS_SORT : 0);
      ex_style = WS_EX_CLIENTEDGE;
      break;
    case Kind::kPreview:
      break;
  }
  HWND created = CreateWindowExW(
      ex_style, window_class, win::Widen(control.caption).c_str(), style, place.left, place.top,
      place.right - place.left, place.bottom - place.top, window_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), win::AppInstance(), nullptr);
  if (control.kind == Kind::kFrame) PaintFrameCaptionInHighlight(created);
}

// Places every control and gives it its font at the window's DPI (again after a DPI change).
void ConfigWindow::ApplyLayout() {
  for (const ControlLayout& control : kLayout) {
    HWND item = Item(control.id);
    PixelRect place = PlaceOf(control, dpi_);
    int height = place.bottom - place.top;
    if (control.kind == Kind::kDriveList) height *= 9;
    SetWindowPos(item, nullptr, place.left, place.top, place.right - place.left, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
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
  GetWindowRect(window_, &window);
  GetClientRect(window_, &client);
  SetWindowPos(window_, nullptr, 0, 0, window.right - window.left + width - client.right,
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
                      CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, win::AppInstance(), nullptr);
  for (int id : {kIdFilSel, kIdLstPlay}) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(Item(id));
    tool.lpszText = const_cast<wchar_t*>(kPreviewTip);
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void ConfigWindow::ShowDialog() {
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
  SetFocus(Item(kIdCmdOk));
}

void ConfigWindow::ShowMessage(const std::string& text) {
  MessageBoxW(window_, win::Widen(text).c_str(), win::kAppTitle, MB_OK);
}

LRESULT CALLBACK ConfigWindow::WndProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<ConfigWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<ConfigWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return self ? self->Handle(msg, wp, lp) : DefWindowProcW(window, msg, wp, lp);
}

LRESULT ConfigWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp));
      return 0;
    case WM_CTLCOLORSTATIC:
      return OnCtlColorStatic(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp), wp, lp);
    case WM_DRAWITEM:
      if (wp == kIdDirSel && dirSel_) {
        dirSel_->Draw(*reinterpret_cast<DRAWITEMSTRUCT*>(lp), dpi_);
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE) {
        focus_ = GetFocus();
      } else if (focus_ && IsChild(window_, focus_)) {
        SetFocus(focus_);
        return 0;
      }
      break;
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wp);
      fonts_ = std::make_unique<DialogFonts>(dpi_);
      const RECT& suggested = *reinterpret_cast<RECT*>(lp);
      SetWindowPos(window_, nullptr, suggested.left, suggested.top,
                   suggested.right - suggested.left, suggested.bottom - suggested.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      FitClientArea();
      ApplyLayout();
      return 0;
    }
    case WM_CLOSE:
      form_->Form_Unload();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, msg, wp, lp);
}

void ConfigWindow::OnCommand(int id, int code) {
  if (!form_) return;
  for (const Route& route : kRoutes) {
    if (route.id == id && route.code == code) {
      (form_.get()->*route.handler)();
      return;
    }
  }
  if (id == kIdDirSel && code == LBN_DBLCLK) OpenFolder();
  if (id == IDOK) OnEnter();
}

// The dialog manager reports Enter as IDOK, there being no default button: Enter presses the
// push button that has the focus (so OK only while OK has it) and opens a folder of the
// directory list; elsewhere it does nothing.
void ConfigWindow::OnEnter() {
  HWND focus = GetFocus();
  if (focus == Item(kIdDirSel)) {
    OpenFolder();
    return;
  }
  const ControlLayout* control =
      IsChild(window_, focus) ? FindLayout(GetDlgCtrlID(focus)) : nullptr;
  if (control && control->kind == Kind::kPushButton) SendMessageW(focus, BM_CLICK, 0, 0);
}

void ConfigWindow::OpenFolder() {
  if (dirSel_->OpenSelected()) form_->dirSel_Change();
}

LRESULT ConfigWindow::OnCtlColorStatic(HDC dc, HWND control, WPARAM wp, LPARAM lp) {
  int id = GetDlgCtrlID(control);
  if (id == kIdLblPlayList) {
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    SetBkColor(dc, GetSysColor(COLOR_GRAYTEXT));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_GRAYTEXT));
  }
  if (id == kIdLblTitle) {
    SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
    SetBkColor(dc, RGB(255, 0, 0));
    return reinterpret_cast<LRESULT>(red_);
  }
  return DefWindowProcW(window_, WM_CTLCOLORSTATIC, wp, lp);
}

// Tab and Shift+Tab go to the next control in the tab order that can take the focus: frames,
// labels and the preview never do, nor disabled controls, nor an option button that is not
// the selected one of its array.
void ConfigWindow::MoveFocus(bool backwards) {
  const int count = static_cast<int>(kLayout.size());
  HWND focus = GetFocus();
  int at = backwards ? 0 : count - 1;
  for (int i = 0; i < count; ++i) {
    if (Item(kLayout[static_cast<size_t>(i)].id) == focus) at = i;
  }
  for (int step = 0; step < count; ++step) {
    at = (at + (backwards ? count - 1 : 1)) % count;
    const ControlLayout& control = kLayout[static_cast<size_t>(at)];
    HWND item = Item(control.id);
    if (control.kind == Kind::kFrame || control.kind == Kind::kLabel ||
        control.kind == Kind::kPreview || !IsWindowEnabled(item) || !IsWindowVisible(item)) {
      continue;
    }
    if (control.kind == Kind::kOption && SendMessageW(item, BM_GETCHECK, 0, 0) != BST_CHECKED) {
      continue;
    }
    SetFocus(item);
    if (control.kind == Kind::kTextBox) SendMessageW(item, EM_SETSEL, 0, -1);
    return;
  }
}

bool ConfigWindow::PreTranslate(MSG& msg) {
  if (msg.hwnd != window_ && !IsChild(window_, msg.hwnd)) return false;
  bool mouse = msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST;
  if (mouse && (msg.hwnd == Item(kIdFilSel) || msg.hwnd == Item(kIdLstPlay))) {
    SendMessageW(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
  }
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB) {
    MoveFocus(GetKeyState(VK_SHIFT) < 0);
    return true;
  }
  return IsDialogMessageW(window_, &msg) != FALSE;
}

}  // namespace

void LoadConfigWindow() {
  // The dialog lives as long as the process: every way out of it ends the process.
  loaded_dialog = new ConfigWindow();
  loaded_dialog->Load();
}

bool IsConfigDialogMessage(MSG& msg) { return loaded_dialog && loaded_dialog->PreTranslate(msg); }

}  // namespace quorvane::config
