#pragma once

#include <windows.h>

namespace v270::win32 {

// The main window's own messages. Any program of the desktop that may post to the window can
// post these too, with any parameters: none of them carries a pointer, and none makes the
// program do what its user could not do with the mouse and keyboard. What each one does when
// forged is said beside it. Programs without administrator rights can post none of them: the
// window lets only WM_COPYDATA through its message filter, a profile request it checks byte for
// byte.
//
// Posted by the function menu when a choice ends it, so that it is destroyed outside its own
// message handlers. Forged: the menu closes, as a click beside it closes it.
inline constexpr UINT kCloseFunctionMenuMessage = WM_APP + 1;
// A right click on the step list: the row under the pointer (bit 31: the pointer lies inside the
// list) and the screen point, x in the low 16 bits and y in the high 16 bits, each signed.
// Forged: a row is selected and the step menu may open, as a right click does; the page checks
// the row against the list and does nothing while recording.
inline constexpr UINT kStepListRightClickMessage = WM_APP + 3;
// Keys of the keyboard capture wait to be taken from it. It carries nothing: forged, it finds
// nothing that the capture did not take from the keyboard.
inline constexpr UINT kCapturedKeyMessage = WM_APP + 4;
// The tray icon's callback: the icon's id and the mouse message. Forged: the window shows, or
// the tray menu opens, as a click on the icon does; another icon id is ignored. Out of the
// WM_USER range, where a dialog has messages of its own (WM_USER + 1 is DM_SETDEFID).
inline constexpr UINT kTrayCallbackMessage = WM_APP + 5;
// A screen reader's default action on an entry, run after its call: wParam the entry's kind,
// lParam its index. Forged: the entry is pressed as a click on it would; an unknown kind or an
// index out of range does nothing.
inline constexpr UINT kAccessiblePressMessage = WM_APP + 0x30;
inline constexpr UINT kTrayIconId = 153;
// The timer that adds the tray icon again while the shell refuses it (no taskbar yet).
inline constexpr UINT_PTR kTrayRetryTimer = 0x7A1;
inline constexpr UINT kTrayRetryMilliseconds = 2000;
// The system menu's about item.
inline constexpr UINT kAboutCommand = 16;
// The system menu's item of the per-application profiles.
inline constexpr UINT kAppProfilesCommand = 32;
// The system menu's items of the profile files.
inline constexpr UINT kExportProfileCommand = 48;
inline constexpr UINT kImportProfileCommand = 64;

// The step list's in-place editor.
// From the editor to the list box: end the edit, keeping (wParam 1) or discarding (0) the text.
inline constexpr UINT WM_LISTEDIT_END = WM_APP + 0x41;
// From the list box to its parent when an edit changed a row: wParam the row's new index, lParam
// its former text.
inline constexpr UINT WM_LISTEDIT_CHANGED = WM_APP + 0x40;
// From the list box to its parent at the end of every edit, kept or not. Forged: the selected
// step's delay is read again from the selected row, as pressing Enter in an editor opened with
// Ctrl+A does; nothing while recording, when no editor can be open.
inline constexpr UINT WM_LISTEDIT_DONE = WM_USER + 10;

}  // namespace v270::win32
