#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "platform/hid.h"

namespace v270::win32 {

// "operation: (0xCODE) text" for the system error `code`, as FormatMessageW words it.
std::string systemErrorText(std::string_view operation, DWORD code);

// The HID class library and SetupAPI. Arrival and removal notices go to the notice window as
// WM_DEVICECHANGE.
class Win32HidSystem final : public platform::HidSystem {
  public:
    // The window that registerForNotices() registers: the main window, once it exists.
    explicit Win32HidSystem(const std::atomic<HWND>& noticeWindow);
    Win32HidSystem(const Win32HidSystem&) = delete;
    Win32HidSystem& operator=(const Win32HidSystem&) = delete;
    ~Win32HidSystem() override;

    // The interfaces of the first 100 members of the HID interface class that can be read.
    std::vector<platform::HidInterface> enumerate() override;
    std::unique_ptr<platform::HidDevice> open(std::u16string_view path,
                                              platform::HidAccess access) override;
    // Registers the window once; every registration would bring each notice once more.
    void registerForNotices() override;

  private:
    GUID hidGuid_{};
    const std::atomic<HWND>& noticeWindow_;
    HDEVNOTIFY registration_ = nullptr;
};

}  // namespace v270::win32
