#pragma once

#include <windows.h>

#include "platform/frame_canvas.h"
#include "platform/win32/gdi_objects.h"

namespace v270::win32 {

// The two interface fonts, created once: `englishFont` "Consolas" 15 x 7, fixed pitch, and
// `chineseFont` "宋体" 12 x 6. The main window's frames, its child controls and the popups all
// use them, by the interface language.
class GdiFonts {
  public:
    GdiFonts();

    HFONT englishFont() const { return english_.get(); }
    HFONT chineseFont() const { return chinese_.get(); }
    HFONT font(platform::FontChoice choice) const {
        return choice == platform::FontChoice::English ? englishFont() : chineseFont();
    }

  private:
    UniqueFont english_;
    UniqueFont chinese_;
};

}  // namespace v270::win32
