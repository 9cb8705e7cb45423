// Driving the real settings dialog from another process: opening it, reading its controls by
// id and pressing its keys and buttons through window messages. Each call waits, bounded, for
// the dialog to have handled what it was sent.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "support/support.h"

namespace quorvane::e2e {

inline constexpr wchar_t kDialogCaption[] = L"Quorvane【設定】";
// The four option lines of a file written by a dialog that kept the design-time choices.
inline constexpr char kOptionLinesDefault[] =
    "SizeSel  =1\r\nSizeFree =\r\nPosSel   =0\r\nJyunSel  =0\r\n";

using Texts = std::vector<std::wstring>;

// One line of a settings file: its key field, the value in the ANSI code page and CR LF.
std::string Line(std::string_view key, std::wstring_view value);
// The index of text in texts, or -1.
int FindText(const Texts& texts, std::wstring_view text);

// The smallest rectangle holding every pixel of a window that is not (nearly) black, in its
// client coordinates; all -1 when the window shows nothing lit.
struct LitBox {
  int left = -1, top = -1, right = -1, bottom = -1;
};
LitBox LitBoxOf(HWND window);

class DialogDriver {
 public:
  // Starts the program from folder with "/c" in cwd (the folder itself when empty) and waits
  // for the dialog to be on screen with its settings loaded.
  explicit DialogDriver(const ProgramFolder& folder, const std::wstring& cwd = L"")
      : DialogDriver(folder.Scr(), cwd.empty() ? folder.Path() : cwd) {}
  // The same for any copy of the program (one in a folder no test may write to, say).
  DialogDriver(const std::wstring& scr, const std::wstring& cwd);

  bool Opened() const { return dialog_ != nullptr; }
  HWND Dialog() const { return dialog_; }
  HWND Item(int id) const { return GetDlgItem(dialog_, id); }
  Process& Program() { return *process_; }

  // Returns once the dialog's thread has handled everything sent or posted before.
  bool Settle() const;
  HWND Focus() const;
  // Posts a key to the control with the focus, as the keyboard would, and settles.
  void Key(UINT virtual_key);
  // Presses Tab until the control has the focus; false when it never comes (28 presses).
  bool TabTo(int id);
  void Click(int id);
  // Double-clicks entry index of a list box (selecting it first).
  void DoubleClick(int list_id, int index);
  void Select(int list_id, int index);

  std::vector<std::wstring> ListTexts(int list_id) const;
  int ListIndex(int list_id) const;
  bool Checked(int id) const;

  // The message box the program shows over the dialog, or nullptr within the time.
  HWND WaitForMessageBox(DWORD timeout_ms) const;

 private:
  std::unique_ptr<Process> process_;
  HWND dialog_ = nullptr;
};

// The screen's DPI for programs started from now on (Wine reads it when a program starts); Wine's
// own again when the object goes.
class ScreenDpi {
 public:
  explicit ScreenDpi(DWORD dpi);
  ~ScreenDpi();
  ScreenDpi(const ScreenDpi&) = delete;
  ScreenDpi& operator=(const ScreenDpi&) = delete;

 private:
  HKEY key_ = nullptr;
};

// Texts of the visible static controls of a message box (its message).
std::vector<std::wstring> MessageTexts(HWND box);

}  // namespace quorvane::e2e
