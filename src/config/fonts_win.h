// The settings dialog's fonts at one DPI: the controls' own font, the frames' captions, the
// "Play List" heading and the title line. Japanese faces that are missing fall back to a face
// that shows Japanese. Owned by the dialog window; UI thread only.
#pragma once

#include <windows.h>

#include <string>

namespace quorvane::config {

class DialogFonts {
 public:
  explicit DialogFonts(int dpi);
  ~DialogFonts();
  DialogFonts(const DialogFonts&) = delete;
  DialogFonts& operator=(const DialogFonts&) = delete;

  HFONT Controls() const { return controls_; }
  HFONT Frames() const { return frames_; }
  HFONT Heading() const { return heading_; }
  HFONT Title() const { return title_; }

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
