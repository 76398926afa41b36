#pragma once

#include <windows.h>

#include "platform/hid.h"

namespace v270::win32 {

// The portable form of a WM_DEVICECHANGE message: its event code and, for a broadcast header
// of a device interface, the interface name.
platform::DeviceBroadcast deviceBroadcastFromMessage(WPARAM eventCode, LPARAM header);

// Delivers notices as the system would: WM_DEVICECHANGE sent to `window`, with a
// DEV_BROADCAST_DEVICEINTERFACE_W that names the interface. The send waits until the window
// has handled it, so the broadcast record need live only for the call.
class DeviceChangeMessageSink final : public platform::DeviceNoticeSink {
  public:
    explicit DeviceChangeMessageSink(HWND window) : window_(window) {}
    void deliver(const platform::DeviceBroadcast& broadcast) override;

  private:
    HWND window_;
};

}  // namespace v270::win32
