#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <string_view>

namespace v270::win32 {

// The notification-area icon that stands for the hidden main window. It remembers whether the
// window wants it and whether the shell took it, so that an icon the shell refused (no taskbar
// yet at logon) or lost (Explorer restarted) can be added again.
class TrayIcon {
  public:
    TrayIcon(UINT id, UINT callbackMessage) : id_(id), callbackMessage_(callbackMessage) {}

    // Adds the icon, or gives the one shown the new tip. False when the shell refused it.
    bool add(HWND window, HICON icon, std::u16string_view tip);
    void remove(HWND window, HICON icon);
    // A new tip for the icon, when it is wanted.
    void setTip(HWND window, HICON icon, std::u16string_view tip);
    // Adds the wanted icon again, as the shell now has none of it: after its restart, or
    // after a refusal. False when the shell refused it again.
    bool restore(HWND window, HICON icon);

    // The icon is wanted, but the shell has not taken it.
    bool missing() const { return wanted_ && !taken_; }

  private:
    NOTIFYICONDATAW record(HWND window, HICON icon, std::u16string_view tip) const;

    const UINT id_;
    const UINT callbackMessage_;
    bool wanted_ = false;
    bool taken_ = false;
    std::u16string tip_;
};

}  // namespace v270::win32
