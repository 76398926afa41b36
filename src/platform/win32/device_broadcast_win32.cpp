#include "platform/win32/device_broadcast_win32.h"

#include <dbt.h>

#include <cstddef>
#include <cwchar>

namespace v270::win32 {

std::optional<platform::DeviceNotice> deviceNoticeFromMessage(WPARAM eventCode, LPARAM header) {
    platform::DeviceNotice notice;
    if (eventCode == DBT_DEVICEARRIVAL) {
        notice.kind = platform::DeviceNotice::Kind::Arrival;
    } else if (eventCode == DBT_DEVICEREMOVECOMPLETE) {
        notice.kind = platform::DeviceNotice::Kind::Removal;
    } else {
        return std::nullopt;
    }
    const auto* common = reinterpret_cast<const DEV_BROADCAST_HDR*>(header);
    if (common == nullptr || common->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE)
        return std::nullopt;
    const auto* device = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header);
    // The name runs to its terminator, but never past the size the record gives itself.
    const size_t offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    if (device->dbcc_size <= offset)
        return notice;
    const size_t capacity = (device->dbcc_size - offset) / sizeof(wchar_t);
    const size_t length = wcsnlen(device->dbcc_name, capacity);
    notice.path.assign(device->dbcc_name, device->dbcc_name + length);
    return notice;
}

}  // namespace v270::win32
