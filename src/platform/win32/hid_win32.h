#pragma once

#include <windows.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/hid.h"

namespace v270::win32 {

// "operation: (0xCODE) text" for the system error `code`, as FormatMessageW words it.
std::string systemErrorText(std::string_view operation, DWORD code);

// The handles the system may ask back, by their notice registration: each opened interface is
// registered for the notices of its own handle, which name no path.
class HandleNotices {
  public:
    void add(HDEVNOTIFY registration, std::u16string path) {
        const std::lock_guard lock(mutex_);
        paths_[registration] = std::move(path);
    }
    void remove(HDEVNOTIFY registration) {
        const std::lock_guard lock(mutex_);
        paths_.erase(registration);
    }
    std::optional<std::u16string> pathOf(HDEVNOTIFY registration) const {
        const std::lock_guard lock(mutex_);
        const auto found = paths_.find(registration);
        return found != paths_.end() ? std::optional(found->second) : std::nullopt;
    }

  private:
    mutable std::mutex mutex_;
    std::map<HDEVNOTIFY, std::u16string> paths_;
};

// The HID class library and SetupAPI. Arrival and removal notices go to the notice window as
// WM_DEVICECHANGE, and so do the notices of every opened interface's handle: a removal the
// system asks leave for, its cancellation and its completion.
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

    // The notice a WM_DEVICECHANGE message carries, for an interface or for the handle of one
    // this system opened; nullopt for every other.
    std::optional<platform::DeviceNotice> noticeFromMessage(WPARAM eventCode, LPARAM header) const;

  private:
    const std::shared_ptr<HandleNotices> handleNotices_ = std::make_shared<HandleNotices>();
    GUID hidGuid_{};
    const std::atomic<HWND>& noticeWindow_;
    HDEVNOTIFY registration_ = nullptr;
};

}  // namespace v270::win32
