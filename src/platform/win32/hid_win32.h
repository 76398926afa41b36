#pragma once

#include <windows.h>

#include <memory>

#include "platform/hid.h"

namespace v270::win32 {

// The HID class library and SetupAPI. Arrival and removal notices go to the notice window as
// WM_DEVICECHANGE.
class Win32HidSystem final : public platform::HidSystem {
  public:
    Win32HidSystem();
    Win32HidSystem(const Win32HidSystem&) = delete;
    Win32HidSystem& operator=(const Win32HidSystem&) = delete;
    ~Win32HidSystem() override;

    // The window that registerForNotices() registers. Set it before the first search.
    void setNoticeWindow(HWND window) { noticeWindow_ = window; }

    std::unique_ptr<platform::HidEnumeration> enumerate() override;
    std::unique_ptr<platform::HidProbe> probe(std::u16string_view path) override;
    std::unique_ptr<platform::HidDevice> open(std::u16string_view path,
                                              platform::HidAccess access) override;
    // Registers the window once; every registration would bring each notice once more.
    void registerForNotices() override;

  private:
    GUID hidGuid_{};
    HWND noticeWindow_ = nullptr;
    HDEVNOTIFY registration_ = nullptr;
};

}  // namespace v270::win32
