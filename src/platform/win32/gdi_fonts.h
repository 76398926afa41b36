#pragma once

#include <windows.h>

#include "platform/frame_canvas.h"
#include "platform/win32/gdi_objects.h"

namespace v270::win32 {

// The two interface fonts, created once per scale: `englishFont` "Consolas" 15 x 7, fixed pitch,
// and `chineseFont` "宋体" 12 x 6 at 96 DPI, their cells scaled at other DPIs. The main window's
// frames, its child controls and the popups all use them, by the interface language.
class GdiFonts {
  public:
    explicit GdiFonts(int32_t dpi = platform::kFontBaseDpi);

    int32_t dpi() const { return dpi_; }

    HFONT englishFont() const { return english_.get(); }
    HFONT chineseFont() const { return chinese_.get(); }
    HFONT font(platform::FontChoice choice) const {
        return choice == platform::FontChoice::English ? englishFont() : chineseFont();
    }

  private:
    int32_t dpi_;
    UniqueFont english_;
    UniqueFont chinese_;
};

}  // namespace v270::win32
