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

bool TrayIcon::add(HWND window, HICON icon, std::u16string_view tip) {
    wanted_ = true;
    tip_ = tip;
    NOTIFYICONDATAW data = record(window, icon, tip_);
    if (taken_ && Shell_NotifyIconW(NIM_MODIFY, &data))
        return true;
    taken_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    return taken_;
}

void TrayIcon::remove(HWND window, HICON icon) {
    wanted_ = false;
    taken_ = false;
    NOTIFYICONDATAW data = record(window, icon, u"ZEV_GMouse");
    Shell_NotifyIconW(NIM_DELETE, &data);
}

void TrayIcon::setTip(HWND window, HICON icon, std::u16string_view tip) {
    if (wanted_)
        add(window, icon, tip);
}

bool TrayIcon::restore(HWND window, HICON icon) {
    if (!wanted_)
        return true;
    NOTIFYICONDATAW data = record(window, icon, tip_);
    // An icon the shell kept after all refuses the add, and takes the change.
    taken_ =
        Shell_NotifyIconW(NIM_ADD, &data) != FALSE || Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
    return taken_;
}

}  // namespace v270::win32
