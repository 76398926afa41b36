#pragma once

#include <windows.h>

namespace v270::win32 {

// The main window's own messages.
// Posted by the function menu when a choice ends it, so that it is destroyed outside its own
// message handlers.
inline constexpr UINT kCloseFunctionMenuMessage = WM_APP + 1;
// A device notice of the simulated transport; its second parameter owns the notice.
inline constexpr UINT kDeviceNoticeMessage = WM_APP + 2;
// The tray icon's callback.
inline constexpr UINT kTrayCallbackMessage = WM_USER + 1;
inline constexpr UINT kTrayIconId = 153;
// The system menu's about item.
inline constexpr UINT kAboutCommand = 16;

}  // namespace v270::win32
