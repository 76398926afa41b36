#pragma once

#include <windows.h>

#include <cstdint>

namespace v270::win32 {

// Sent to a per-monitor aware window before WM_DPICHANGED; the window may answer with its own
// size at the new scale, so that the rectangle it is then given fits it.
inline constexpr UINT kGetDpiScaledSizeMessage = 0x02E4;  // WM_GETDPISCALEDSIZE

// The dots per inch of the monitor `window` is on: its own scale on systems that give each
// monitor one (Windows 10 and later), the system's scale on older ones. Without a window, the
// system's scale: that of a window about to be made on the primary monitor.
int32_t windowDpi(HWND window);

// The dots per inch of `monitor`, likewise: its own where the system gives one, else the
// system's.
int32_t monitorDpi(HMONITOR monitor);

}  // namespace v270::win32
