#include "config/fonts_win.h"

namespace quorvane::config {
namespace {

constexpr wchar_t kPGothic[] = L"ＭＳ Ｐゴシック";
constexpr const wchar_t* kJapaneseFallbacks[] = {
    L"MS PGothic", L"MS UI Gothic", L"Meiryo UI",  L"Meiryo",       L"Yu Gothic UI",
    L"IPAPGothic", L"IPAGothic",    L"VL PGothic", L"TakaoPGothic", L"Noto Sans CJK JP",
};

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FaceInstalled(HDC dc, const wchar_t* face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = SHIFTJIS_CHARSET;
  wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
  bool found = false;
  EnumFontFamiliesExW(dc, &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

// points100 is the size in hundredths of a point (11.25 pt = 1125).
HFONT MakeFont(const std::wstring& face, int points100, int weight, BYTE charset, int dpi) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(points100, dpi, 7200);
  font.lfWeight = weight;
  font.lfCharSet = charset;
  font.lfQuality = DEFAULT_QUALITY;
  wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  return CreateFontIndirectW(&font);
}

}  // namespace

std::wstring JapaneseFace() {
  HDC dc = GetDC(nullptr);
  std::wstring face = kPGothic;
  if (!FaceInstalled(dc, kPGothic)) {
    for (const wchar_t* fallback : kJapaneseFallbacks) {
      if (FaceInstalled(dc, fallback)) {
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
  controls_ = MakeFont(japanese, 900, FW_NORMAL, SHIFTJIS_CHARSET, dpi);
  frames_ = MakeFont(japanese, 900, FW_BOLD, SHIFTJIS_CHARSET, dpi);
  heading_ = MakeFont(japanese, 1125, FW_BOLD, SHIFTJIS_CHARSET, dpi);
  title_ = MakeFont(L"Century Gothic", 1125, FW_BOLD, ANSI_CHARSET, dpi);
}

DialogFonts::~DialogFonts() {
  for (HFONT font : {controls_, frames_, heading_, title_}) DeleteObject(font);
}

}  // namespace quorvane::config
