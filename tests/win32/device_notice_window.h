#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <vector>

#include "platform/hid.h"
#include "platform/win32/device_broadcast_win32.h"

namespace v270 {

// A message-only window that keeps the device notices its WM_DEVICECHANGE messages carry.
class DeviceNoticeWindow {
  public:
    DeviceNoticeWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &DeviceNoticeWindow::procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"V270NoticeTest";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, L"V270NoticeTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    DeviceNoticeWindow(const DeviceNoticeWindow&) = delete;
    DeviceNoticeWindow& operator=(const DeviceNoticeWindow&) = delete;
    ~DeviceNoticeWindow() { DestroyWindow(window_); }
    HWND get() const { return window_; }

    // Handles this thread's messages until `done` holds or `timeout` has passed; returns
    // whether it holds.
    bool pumpUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
        }
        return true;
    }

    std::vector<platform::DeviceNotice> received;
    int withoutNotice = 0;

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM first, LPARAM second) {
        auto* self =
            reinterpret_cast<DeviceNoticeWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr && message == WM_DEVICECHANGE) {
            if (const auto notice = win32::deviceNoticeFromMessage(first, second)) {
                self->received.push_back(*notice);
            } else {
                ++self->withoutNotice;
            }
            return TRUE;
        }
        return DefWindowProcW(window, message, first, second);
    }
    HWND window_ = nullptr;
};

}  // namespace v270
