#pragma once

#include <windows.h>

namespace v270::win32 {

// The main window's own messages.
// Posted by the function menu when a choice ends it, so that it is destroyed outside its own
// message handlers.
inline constexpr UINT kCloseFunctionMenuMessage = WM_APP + 1;
// A right click on the step list: the row under the pointer (bit 31: the pointer lies inside the
// list) and the screen point, x in the low 16 bits and y in the high 16 bits, each signed.
inline constexpr UINT kStepListRightClickMessage = WM_APP + 3;
// A keystroke of the keyboard capture, as keyboard_capture_win32 packs it.
inline constexpr UINT kCapturedKeyMessage = WM_APP + 4;
// The tray icon's callback.
inline constexpr UINT kTrayCallbackMessage = WM_USER + 1;
inline constexpr UINT kTrayIconId = 153;
// The timer that adds the tray icon again while the shell refuses it (no taskbar yet).
inline constexpr UINT_PTR kTrayRetryTimer = 0x7A1;
inline constexpr UINT kTrayRetryMilliseconds = 2000;
// The system menu's about item.
inline constexpr UINT kAboutCommand = 16;
// The system menu's item of the per-application profiles.
inline constexpr UINT kAppProfilesCommand = 32;

// The step list's in-place editor.
// From the editor to the list box: end the edit, keeping (wParam 1) or discarding (0) the text.
inline constexpr UINT WM_LISTEDIT_END = WM_APP + 0x41;
// From the list box to its parent when an edit changed a row: wParam the row's new index, lParam
// its former text.
inline constexpr UINT WM_LISTEDIT_CHANGED = WM_APP + 0x40;
// From the list box to its parent at the end of every edit, kept or not.
inline constexpr UINT WM_LISTEDIT_DONE = WM_USER + 10;

}  // namespace v270::win32
