#pragma once

#include <windows.h>

namespace v270::win32 {

// The main window's message pre-filter: Escape and Enter key-downs would end the dialog through
// its default buttons, unless the control they go to takes them itself (the step list's in-place
// editor ends on them), and F10 would open the system menu's keyboard mode. Only key messages are
// tested for F10, so that a character or command whose code happens to be 0x79 (a typed "y")
// still arrives.
inline bool swallowedByPreFilter(UINT message, WPARAM key, bool controlTakesIt = false) {
    if (message == WM_KEYDOWN && (key == VK_ESCAPE || key == VK_RETURN))
        return !controlTakesIt;
    const bool keyMessage = message == WM_KEYDOWN || message == WM_KEYUP ||
                            message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
    return keyMessage && key == VK_F10;
}

// Whether the control a key-down goes to asks for it through WM_GETDLGCODE.
inline bool controlTakesKey(const MSG& message) {
    return message.message == WM_KEYDOWN &&
           (SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam,
                         reinterpret_cast<LPARAM>(&message)) &
            DLGC_WANTMESSAGE) != 0;
}

}  // namespace v270::win32
