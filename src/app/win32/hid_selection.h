#pragma once

#include <windows.h>

#include <atomic>
#include <memory>

#include "platform/hid.h"

namespace v270::win32 {

struct HidSelection {
    std::unique_ptr<platform::HidSystem> system;
    bool simulated = false;
};

// The simulated mouse when V270_MOUSE_SIM names one, the system's HID devices otherwise. Either
// way arrival and removal notices reach `window` (the main window once it exists) as
// WM_DEVICECHANGE.
HidSelection selectHidSystem(const std::atomic<HWND>& window);

}  // namespace v270::win32
