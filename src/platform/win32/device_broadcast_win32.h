#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "platform/hid.h"

namespace v270::win32 {

// The notice a WM_DEVICECHANGE message carries: the arrival or the completed removal of a device
// interface, with its name. Every other event, and broadcasts of other device types, carry none.
std::optional<platform::DeviceNotice> deviceNoticeFromMessage(WPARAM eventCode, LPARAM header);

// Posts `notice` to `window` as `message`, whose second parameter then owns a copy of it (take it
// back with takePostedNotice). Posting, not sending, so that the notifying thread never waits for
// the window's thread. False, with nothing posted, when the window is gone.
bool postDeviceNotice(HWND window, UINT message, const platform::DeviceNotice& notice);
std::unique_ptr<platform::DeviceNotice> takePostedNotice(LPARAM lParam);

}  // namespace v270::win32
