#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string_view>

namespace v270::win32 {

// The notification-area icon that stands for the hidden main window.
class TrayIcon {
  public:
    TrayIcon(UINT id, UINT callbackMessage) : id_(id), callbackMessage_(callbackMessage) {}

    void add(HWND window, HICON icon, std::u16string_view tip);
    void remove(HWND window, HICON icon);

  private:
    NOTIFYICONDATAW record(HWND window, HICON icon, std::u16string_view tip) const;

    const UINT id_;
    const UINT callbackMessage_;
};

}  // namespace v270::win32
