#include "config/fonts_win.h"

#include <optional>
#include <vector>

#include "config/font_fit.h"
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

// One face, weight and character set, made at a size (hundredths of a point) for one DPI.
struct FontKind {
  std::wstring face;
  int weight;
  BYTE charset;
  int dpi;

  HFONT Make(int points100) const {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(points100, dpi, 7200);
    font.lfWeight = weight;
    font.lfCharSet = charset;
    font.lfQuality = DEFAULT_QUALITY;
    wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
  }
};

// Whether every one of these controls' captions fits its room in the font of this kind and size.
bool CaptionsFit(HDC dc, const FontKind& kind, int points100,
                 const std::vector<const ControlLayout*>& controls) {
  HFONT font = kind.Make(points100);
  HGDIOBJ old = SelectObject(dc, font);
  bool fit = true;
  for (const ControlLayout* control : controls) {
    std::wstring caption = win::Widen(control->caption);
    SIZE extent{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
    fit = fit && extent.cx <= CaptionRoom(*control, kind.dpi);
  }
  SelectObject(dc, old);
  DeleteObject(font);
  return fit;
}

// The size from start down to smallest at which every caption fits (FittingSize).
std::optional<int> CaptionsSize(HDC dc, const FontKind& kind, int start, int smallest,
                                const std::vector<const ControlLayout*>& controls) {
  return FittingSize(start, smallest,
                     [&](int points100) { return CaptionsFit(dc, kind, points100, controls); });
}

// The font at the given size, or smaller, as far as needed for every caption to fit; at the
// smallest size when even that does not.
HFONT FittingFont(HDC dc, const FontKind& kind, int points100,
                  const std::vector<const ControlLayout*>& controls) {
  return kind.Make(
      CaptionsSize(dc, kind, points100, kSmallestSize, controls).value_or(kSmallestSize));
}

// The controls whose captions the font of this role draws.
std::vector<const ControlLayout*> ControlsOf(FontRole role) {
  std::vector<const ControlLayout*> controls;
  for (const ControlLayout& control : kLayout) {
    if (FontOf(control) == role) controls.push_back(&control);
  }
  return controls;
}

// The title's font: the first of its faces that is installed and shows the whole title at its
// size; when none does, the first installed face, as small as it must be.
HFONT TitleFont(HDC dc, int dpi) {
  std::vector<const ControlLayout*> title = ControlsOf(FontRole::kTitle);
  const wchar_t* first_installed = nullptr;
  for (const wchar_t* face : kTitleFaces) {
    if (!FaceInstalled(dc, face, DEFAULT_CHARSET)) continue;
    if (!first_installed) first_installed = face;
    FontKind kind{face, FW_BOLD, ANSI_CHARSET, dpi};
    if (CaptionsSize(dc, kind, kTitleSize, kTitleSize, title)) return kind.Make(kTitleSize);
  }
  return FittingFont(
      dc, {first_installed ? first_installed : kTitleFaces[0], FW_BOLD, ANSI_CHARSET, dpi},
      kTitleSize, title);
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
  controls_ = FittingFont(dc, {japanese, FW_NORMAL, SHIFTJIS_CHARSET, dpi}, kControlsSize,
                          ControlsOf(FontRole::kControls));
  frames_ = FittingFont(dc, {japanese, FW_BOLD, SHIFTJIS_CHARSET, dpi}, kControlsSize,
                        ControlsOf(FontRole::kFrame));
  heading_ = FittingFont(dc, {japanese, FW_BOLD, SHIFTJIS_CHARSET, dpi}, kTitleSize,
                         ControlsOf(FontRole::kHeading));
  title_ = TitleFont(dc, dpi);
  ReleaseDC(nullptr, dc);
}

HFONT DialogFonts::Of(FontRole role) const {
  switch (role) {
    case FontRole::kControls:
      return controls_;
    case FontRole::kFrame:
      return frames_;
    case FontRole::kHeading:
      return heading_;
    case FontRole::kTitle:
      return title_;
    case FontRole::kNone:
      break;
  }
  return nullptr;
}

DialogFonts::~DialogFonts() {
  for (HFONT font : {controls_, frames_, heading_, title_}) DeleteObject(font);
}

}  // namespace quorvane::config
