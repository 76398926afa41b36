#pragma once
// Owns a SetupAPI device information set, destroyed with its owner.
#include <windows.h>

#include <setupapi.h>

namespace v270::win32 {

class DeviceInfoSet {
  public:
    explicit DeviceInfoSet(HDEVINFO set) : set_(set) {}
    DeviceInfoSet(const DeviceInfoSet&) = delete;
    DeviceInfoSet& operator=(const DeviceInfoSet&) = delete;
    ~DeviceInfoSet() {
        if (valid())
            SetupDiDestroyDeviceInfoList(set_);
    }
    HDEVINFO get() const { return set_; }
    bool valid() const { return set_ != INVALID_HANDLE_VALUE && set_ != nullptr; }

  private:
    HDEVINFO set_;
};

}  // namespace v270::win32
