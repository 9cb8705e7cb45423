// The settings dialog's Win32 view: creates the real controls from the layout table, hands each
// notification to its handler through one route table, and keeps the dialog's keyboard rules:
// Tab in the tab order of the layout, no default and no cancel button.
#include "config/config_window_win.h"

#include <commctrl.h>

#include <memory>
#include <vector>

#include "config/browser_win.h"
#include "config/control_create_win.h"
#include "config/control_ids.h"
#include "config/controls_win.h"
#include "config/fonts_win.h"
#include "config/frm_config.h"
#include "config/layout.h"
#include "config/tab_order.h"
#include "player/output/playback_window_win.h"
#include "settings/settings_store_win.h"
#include "win/app_win.h"
#include "win/text_win.h"
#include "win/window_win.h"

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

class ConfigWindow final : public ConfigHost, private win::Window {
 public:
  ConfigWindow();
  void Load() { form_->Form_Load(); }
  bool PreTranslate(MSG& msg);

  void ShowDialog() override;
  void ShowMessage(const std::string& text) override;
  void EndProcess() override { win::EndProcess(); }

 private:
  // One notification of one control, and what handles it.
  struct Route {
    int id;
    int code;
    void (*handle)(ConfigWindow& dialog);
  };
  static const Route kRoutes[];

  Result OnCommand(int id, int code) override;
  Result OnCtlColorStatic(HDC dc, HWND control) override;
  Result OnDrawItem(const DRAWITEMSTRUCT& item) override;
  Result OnActivate(bool active) override;
  Result OnDpiChanged(int dpi, const RECT& suggested) override;
  Result OnClose() override {
    form_->Form_Unload();
    return 0;
  }

  void CreateControls();
  void ApplyLayout();
  void FitClientArea();
  void AddTooltips();
  // Enter, which the dialog manager reports as IDOK, there being no default button.
  void OnEnter();
  void OpenFolder();
  void MoveFocus(bool backwards);
  HWND Item(int id) const { return GetDlgItem(Handle(), id); }
  std::vector<HWND> Items(int first, int count) const;

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

const ConfigWindow::Route ConfigWindow::kRoutes[] = {
    {kIdCmdOk, BN_CLICKED, [](ConfigWindow& d) { d.form_->cmdOk_Click(); }},
    {kIdCmdCancel, BN_CLICKED, [](ConfigWindow& d) { d.form_->cmdCancel_Click(); }},
    {kIdDrvSel, CBN_SELCHANGE, [](ConfigWindow& d) { d.form_->drvSel_Change(); }},
    {kIdDirSel, LBN_DBLCLK, [](ConfigWindow& d) { d.OpenFolder(); }},
    {kIdFilSel, LBN_DBLCLK, [](ConfigWindow& d) { d.form_->filSel_DblClick(); }},
    {kIdLstPlay, LBN_DBLCLK, [](ConfigWindow& d) { d.form_->lstPlay_DblClick(); }},
    {kIdCmdAdd, BN_CLICKED, [](ConfigWindow& d) { d.form_->cmdAdd_Click(); }},
    {kIdCmdDel, BN_CLICKED, [](ConfigWindow& d) { d.form_->cmdDel_Click(); }},
    {kIdCmdUp, BN_CLICKED, [](ConfigWindow& d) { d.form_->cmdUp_Click(); }},
    {kIdCmdDown, BN_CLICKED, [](ConfigWindow& d) { d.form_->cmdDown_Click(); }},
    {IDOK, BN_CLICKED, [](ConfigWindow& d) { d.OnEnter(); }},
};

ConfigWindow* loaded_dialog = nullptr;

ConfigWindow::ConfigWindow() {
  INITCOMMONCONTROLSEX common{sizeof(common), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&common);
  Placement placement;
  placement.ex_style = WS_EX_CONTROLPARENT;
  placement.style = kStyle;
  placement.place = {CW_USEDEFAULT, CW_USEDEFAULT, 640, 360};
  Create(Class{kClassName, GetSysColorBrush(COLOR_BTNFACE), LoadCursorW(nullptr, IDC_ARROW)},
         placement, kCaption);
  dpi_ = DpiOf(Handle());
  fonts_ = std::make_unique<DialogFonts>(dpi_);
  CreateControls();
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

void ConfigWindow::ShowDialog() {
  ShowWindow(Handle(), SW_SHOW);
  UpdateWindow(Handle());
  SetFocus(Item(kIdCmdOk));
}

void ConfigWindow::ShowMessage(const std::string& text) {
  MessageBoxW(Handle(), win::Widen(text).c_str(), win::kAppTitle, MB_OK);
}

win::Window::Result ConfigWindow::OnCommand(int id, int code) {
  if (!form_) return 0;
  for (const Route& route : kRoutes) {
    if (route.id == id && route.code == code) {
      route.handle(*this);
      break;
    }
  }
  return 0;
}

win::Window::Result ConfigWindow::OnCtlColorStatic(HDC dc, HWND control) {
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
  return {};
}

win::Window::Result ConfigWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlID != kIdDirSel || !dirSel_) return {};
  dirSel_->Draw(item, dpi_);
  return TRUE;
}

win::Window::Result ConfigWindow::OnActivate(bool active) {
  if (!active) {
    focus_ = GetFocus();
    return {};
  }
  if (!focus_ || !IsChild(Handle(), focus_)) return {};
  SetFocus(focus_);
  return 0;
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

// Enter presses the push button that has the focus (so OK only while OK has it) and opens a
// folder of the directory list; elsewhere it does nothing.
void ConfigWindow::OnEnter() {
  HWND focus = GetFocus();
  if (focus == Item(kIdDirSel)) {
    OpenFolder();
    return;
  }
  const ControlLayout* control =
      IsChild(Handle(), focus) ? FindLayout(GetDlgCtrlID(focus)) : nullptr;
  if (control && control->kind == Kind::kPushButton) SendMessageW(focus, BM_CLICK, 0, 0);
}

void ConfigWindow::OpenFolder() {
  if (dirSel_->OpenSelected()) form_->dirSel_Change();
}

void ConfigWindow::MoveFocus(bool backwards) {
  HWND focus = GetFocus();
  int from = -1;
  for (size_t i = 0; i < kLayout.size(); ++i) {
    if (Item(kLayout[i].id) == focus) from = static_cast<int>(i);
  }
  // Disabled and hidden controls cannot take the focus, nor an option button that is not the
  // selected one of its array.
  int to = NextInTabOrder(from, backwards, [this](const ControlLayout& control) {
    HWND item = Item(control.id);
    if (!IsWindowEnabled(item) || !IsWindowVisible(item)) return false;
    return control.kind != Kind::kOption || SendMessageW(item, BM_GETCHECK, 0, 0) == BST_CHECKED;
  });
  if (to < 0) return;
  const ControlLayout& control = kLayout[static_cast<size_t>(to)];
  HWND item = Item(control.id);
  SetFocus(item);
  if (control.kind == Kind::kTextBox) SendMessageW(item, EM_SETSEL, 0, -1);
}

bool ConfigWindow::PreTranslate(MSG& msg) {
  if (msg.hwnd != Handle() && !IsChild(Handle(), msg.hwnd)) return false;
  bool mouse = msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST;
  if (mouse && (msg.hwnd == Item(kIdFilSel) || msg.hwnd == Item(kIdLstPlay))) {
    SendMessageW(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
  }
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB) {
    MoveFocus(GetKeyState(VK_SHIFT) < 0);
    return true;
  }
  return IsDialogMessageW(Handle(), &msg) != FALSE;
}

}  // namespace

void LoadConfigWindow() {
  // The dialog lives as long as the process: every way out of it ends the process.
  loaded_dialog = new ConfigWindow();
  loaded_dialog->Load();
}

bool IsConfigDialogMessage(MSG& msg) { return loaded_dialog && loaded_dialog->PreTranslate(msg); }

}  // namespace quorvane::config
