#pragma once

#include <windows.h>

#include <memory>

#include "platform/keyboard_capture.h"

namespace v270::win32 {

// A low-level keyboard hook that takes every keystroke of the system and swallows it; the
// program's own synthetic input passes on. The keys wait in the capture (takeKeys), and `window`
// gets `message`, with no parameters, when some are waiting. The hook does the least it can,
// since the system removes a hook that keeps it waiting: on a thread of its own, which the
// window's work never holds up, it stamps the key with the precise time of day and keeps it.
// One capture at a time: null while another lives, or when the system refuses the hook.
std::unique_ptr<platform::KeyboardCapture> captureKeyboard(HWND window, UINT message);

}  // namespace v270::win32
