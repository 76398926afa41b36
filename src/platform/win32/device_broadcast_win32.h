#pragma once

#include <windows.h>

#include <optional>

#include "platform/hid.h"

namespace v270::win32 {

// The notice a WM_DEVICECHANGE message carries: the arrival or the completed removal of a device
// interface, with its name. Every other event, and broadcasts of other device types, carry none.
std::optional<platform::DeviceNotice> deviceNoticeFromMessage(WPARAM eventCode, LPARAM header);

}  // namespace v270::win32
