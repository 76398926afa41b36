#pragma once

#include <windows.h>

namespace v270::win32 {

// The main window's message pre-filter: Escape and Enter key-downs would end the dialog through
// its default buttons, and F10 would open the system menu's keyboard mode. Only key messages are
// tested for F10, so that a character or command whose code happens to be 0x79 (a typed "y")
// still arrives.
inline bool swallowedByPreFilter(UINT message, WPARAM key) {
    if (message == WM_KEYDOWN && (key == VK_ESCAPE || key == VK_RETURN))
        return true;
    const bool keyMessage = message == WM_KEYDOWN || message == WM_KEYUP ||
                            message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
    return keyMessage && key == VK_F10;
}

}  // namespace v270::win32
