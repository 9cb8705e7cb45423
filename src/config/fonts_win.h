// The settings dialog's fonts at one DPI, one for each font role of the layout table: the
// controls' own font, the frames' captions (9 pt), the "Play List" heading and the title line
// (11.25 pt), all but the first bold. Faces that are
// missing fall back to installed ones of the same kind, and a font is made smaller, where it
// must, until every caption it draws fits its control whole (a Japanese face at 9 pt is wider
// than some controls of the layout). Each of the four may be made smaller so: the frames', the
// heading's and the title's too, though only when the face found (a stand-in, where the design's
// is missing) does not show their captions whole at the design's size.
// Owned by the dialog window; UI thread only.
#pragma once

#include <windows.h>

#include <string>

#include "config/layout.h"

namespace quorvane::config {

class DialogFonts {
 public:
  explicit DialogFonts(int dpi);
  ~DialogFonts();
  DialogFonts(const DialogFonts&) = delete;
  DialogFonts& operator=(const DialogFonts&) = delete;

  // The font of this role; nullptr for FontRole::kNone.
  HFONT Of(FontRole role) const;

 private:
  HFONT controls_;
  HFONT frames_;
  HFONT heading_;
  HFONT title_;
};

// "ＭＳ Ｐゴシック" when the system has it, otherwise the first installed face of a list of
// faces that show Japanese; "ＭＳ Ｐゴシック" again when none is there (the font mapper picks).
std::wstring JapaneseFace();

}  // namespace quorvane::config
