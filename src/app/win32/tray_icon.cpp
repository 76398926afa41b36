#include "app/win32/tray_icon.h"

#include <shellapi.h>

#include <algorithm>

namespace v270::win32 {

NOTIFYICONDATAW TrayIcon::record(HWND window, HICON icon, std::u16string_view tip) const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = id_;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callbackMessage_;
    data.hIcon = icon;
    const size_t length = std::min(tip.size(), std::size(data.szTip) - 1);
    std::copy_n(tip.begin(), length, data.szTip);
    return data;
}

void TrayIcon::add(HWND window, HICON icon, std::u16string_view tip) {
    NOTIFYICONDATAW data = record(window, icon, tip);
    Shell_NotifyIconW(NIM_ADD, &data);
}

void TrayIcon::remove(HWND window, HICON icon) {
    NOTIFYICONDATAW data = record(window, icon, u"ZEV_GMouse");
    Shell_NotifyIconW(NIM_DELETE, &data);
}

}  // namespace v270::win32
