#include "config/fonts_win.h"

#include <vector>

#include "config/control_ids.h"
#include "config/layout.h"
#include "win/text_win.h"

namespace quorvane::config {
namespace {

constexpr wchar_t kPGothic[] = L"ＭＳ Ｐゴシック";
constexpr const wchar_t* kJapaneseFallbacks[] = {
    L"MS PGothic", L"MS UI Gothic", L"Meiryo UI",  L"Meiryo",       L"Yu Gothic UI",
    L"IPAPGothic", L"IPAGothic",    L"VL PGothic", L"TakaoPGothic", L"Noto Sans CJK JP",
};
// The title's face, then faces close to it (geometric sans first), then plain sans faces that
// come with Windows or with Linux desktops: Century Gothic comes with Office, not with Windows.
constexpr const wchar_t* kTitleFaces[] = {
    L"Century Gothic", L"URW Gothic",   L"TeX Gyre Adventor",
    L"Futura",         L"Trebuchet MS", L"Segoe UI",
    L"Tahoma",         L"Arial",        L"Liberation Sans",
    L"DejaVu Sans",
};
// Sizes in hundredths of a point.
constexpr int kControlsSize = 900;
constexpr int kTitleSize = 1125;
constexpr int kSmallestSize = 600;
constexpr int kSizeStep = 25;

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) noexcept {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FaceInstalled(HDC dc, const wchar_t* face, BYTE charset) {
  LOGFONTW wanted{};
  wanted.lfCharSet = charset;
  wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
  bool found = false;
  EnumFontFamiliesExW(dc, &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

HFONT MakeFont(const std::wstring& face, int points100, int weight, BYTE charset, int dpi) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(points100, dpi, 7200);
  font.lfWeight = weight;
  font.lfCharSet = charset;
  font.lfQuality = DEFAULT_QUALITY;
  wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  return CreateFontIndirectW(&font);
}

// Whether every one of these controls' captions fits its room in this font.
bool CaptionsFit(HDC dc, HFONT font, const std::vector<const ControlLayout*>& controls, int dpi) {
  HGDIOBJ old = SelectObject(dc, font);
  bool fit = true;
  for (const ControlLayout* control : controls) {
    std::wstring caption = win::Widen(control->caption);
    SIZE extent{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
    fit = fit && extent.cx <= CaptionRoom(*control, dpi);
  }
  SelectObject(dc, old);
  return fit;
}

// The font of this face at the given size, or smaller, as far as needed for every caption to
// fit; nullptr when even the smallest size does not (only when fitting is required).
HFONT FittingFont(HDC dc, const std::wstring& face, int points100, int weight, BYTE charset,
                  const std::vector<const ControlLayout*>& controls, int dpi, bool required) {
  for (int size = points100; size >= kSmallestSize; size -= kSizeStep) {
    HFONT font = MakeFont(face, size, weight, charset, dpi);
    if (CaptionsFit(dc, font, controls, dpi)) return font;
    DeleteObject(font);
    if (!required) break;
  }
  return required ? MakeFont(face, kSmallestSize, weight, charset, dpi) : nullptr;
}

std::vector<const ControlLayout*> ControlsOf(Kind a, Kind b = Kind::kPreview) {
  std::vector<const ControlLayout*> controls;
  for (const ControlLayout& control : kLayout) {
    if (control.kind == a || control.kind == b) controls.push_back(&control);
  }
  return controls;
}

// The title's font: the first of its faces that is installed and shows the whole title at its
// size; when none does, the first installed face, as small as it must be.
HFONT TitleFont(HDC dc, int dpi) {
  std::vector<const ControlLayout*> title = {&LayoutOf(kIdLblTitle)};
  const wchar_t* first_installed = nullptr;
  for (const wchar_t* face : kTitleFaces) {
    if (!FaceInstalled(dc, face, DEFAULT_CHARSET)) continue;
    if (!first_installed) first_installed = face;
    if (HFONT font = FittingFont(dc, face, kTitleSize, FW_BOLD, ANSI_CHARSET, title, dpi, false)) {
      return font;
    }
  }
  return FittingFont(dc, first_installed ? first_installed : kTitleFaces[0], kTitleSize, FW_BOLD,
                     ANSI_CHARSET, title, dpi, true);
}

}  // namespace

std::wstring JapaneseFace() {
  HDC dc = GetDC(nullptr);
  std::wstring face = kPGothic;
  if (!FaceInstalled(dc, kPGothic, SHIFTJIS_CHARSET)) {
    for (const wchar_t* fallback : kJapaneseFallbacks) {
      if (FaceInstalled(dc, fallback, SHIFTJIS_CHARSET)) {
        face = fallback;
        break;
      }
    }
  }
  ReleaseDC(nullptr, dc);
  return face;
}

DialogFonts::DialogFonts(int dpi) {
  std::wstring japanese = JapaneseFace();
  HDC dc = GetDC(nullptr);
  controls_ = FittingFont(dc, japanese, kControlsSize, FW_NORMAL, SHIFTJIS_CHARSET,
                          ControlsOf(Kind::kOption, Kind::kPushButton), dpi, true);
  frames_ = FittingFont(dc, japanese, kControlsSize, FW_BOLD, SHIFTJIS_CHARSET,
                        ControlsOf(Kind::kFrame), dpi, true);
  heading_ = FittingFont(dc, japanese, kTitleSize, FW_BOLD, SHIFTJIS_CHARSET,
                         {&LayoutOf(kIdLblPlayList)}, dpi, true);
  title_ = TitleFont(dc, dpi);
  ReleaseDC(nullptr, dc);
}

DialogFonts::~DialogFonts() {
  for (HFONT font : {controls_, frames_, heading_, title_}) DeleteObject(font);
}

}  // namespace quorvane::config
