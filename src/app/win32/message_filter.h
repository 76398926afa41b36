#pragma once

#include <windows.h>

namespace v270::win32 {

// The main window's message pre-filter: Escape and Enter key-downs would end the dialog through
// its default buttons, and F10 would open the system menu's keyboard mode, unless the control a
// key-down goes to takes it itself (the step list's in-place editor ends on Enter and Escape, the
// step list opens its menu on Shift+F10). F10's key-ups are always taken. Only key messages are
// tested for F10, so that a character or command whose code happens to be 0x79 (a typed "y")
// still arrives.
inline bool swallowedByPreFilter(UINT message, WPARAM key, bool controlTakesIt = false) {
    if (message == WM_KEYDOWN && (key == VK_ESCAPE || key == VK_RETURN))
        return !controlTakesIt;
    if (key != VK_F10)
        return false;
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
        return !controlTakesIt;
    return message == WM_KEYUP || message == WM_SYSKEYUP;
}

// Whether the control a key-down goes to asks for it through WM_GETDLGCODE.
inline bool controlTakesKey(const MSG& message) {
    return (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) &&
           (SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam,
                         reinterpret_cast<LPARAM>(&message)) &
            DLGC_WANTMESSAGE) != 0;
}

// The pre-filter for a message of the loop: the control is asked only about a key the filter
// would take from it.
inline bool swallowedByPreFilter(const MSG& message) {
    return swallowedByPreFilter(message.message, message.wParam) && !controlTakesKey(message);
}

}  // namespace v270::win32
