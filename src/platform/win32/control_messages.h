#pragma once

#include <windows.h>

namespace v270::win32 {

// The font messages of a child control, as calls.
inline void setControlFont(HWND control, HFONT font, bool redraw) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw ? TRUE : FALSE);
}
// A character typed into the control, as the keyboard would give it.
inline void typeCharacter(HWND control, wchar_t character) {
    SendMessageW(control, WM_CHAR, character, 0);
}
inline HFONT controlFont(HWND control) {
    return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
}

// Holds a control's drawing while it is refilled, then draws it whole once.
class RedrawPause {
  public:
    explicit RedrawPause(HWND control) : control_(control) {
        SendMessageW(control_, WM_SETREDRAW, FALSE, 0);
    }
    RedrawPause(const RedrawPause&) = delete;
    RedrawPause& operator=(const RedrawPause&) = delete;
    ~RedrawPause() {
        SendMessageW(control_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(control_, nullptr, TRUE);
    }

  private:
    HWND control_;
};

}  // namespace v270::win32
