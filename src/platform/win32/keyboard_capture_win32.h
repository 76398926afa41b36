#pragma once

#include <windows.h>

#include <memory>

#include "platform/keyboard_capture.h"

namespace v270::win32 {

// A low-level keyboard hook that posts every keystroke of the system to `window` as `message`
// and swallows it; the program's own synthetic input passes on. The hook does the least it can,
// since the system removes a hook that keeps it waiting: on a thread of its own, which the
// window's work never holds up, it stamps the key with the precise time of day and posts it, to
// the window it was given once. One capture at a time: null while another lives, or when the
// system refuses the hook.
std::unique_ptr<platform::KeyboardCapture> captureKeyboard(HWND window, UINT message);

// The key a message of a capture carries.
platform::CapturedKey capturedKeyFromMessage(WPARAM wParam, LPARAM lParam);

}  // namespace v270::win32
