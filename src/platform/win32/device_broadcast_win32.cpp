#include "platform/win32/device_broadcast_win32.h"

#include <dbt.h>

#include <cstddef>
#include <cstring>
#include <cwchar>
#include <vector>

namespace v270::win32 {

platform::DeviceBroadcast deviceBroadcastFromMessage(WPARAM eventCode, LPARAM header) {
    platform::DeviceBroadcast broadcast;
    broadcast.eventCode = static_cast<uint32_t>(eventCode);
    const auto* common = reinterpret_cast<const DEV_BROADCAST_HDR*>(header);
    if (common == nullptr)
        return broadcast;
    broadcast.deviceType = common->dbch_devicetype;
    if (common->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE)
        return broadcast;
    const auto* device = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header);
    // The name runs to its terminator, but never past the size the record gives itself.
    const size_t offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    if (device->dbcc_size <= offset)
        return broadcast;
    const size_t capacity = (device->dbcc_size - offset) / sizeof(wchar_t);
    const size_t length = wcsnlen(device->dbcc_name, capacity);
    broadcast.interfaceName.assign(device->dbcc_name, device->dbcc_name + length);
    return broadcast;
}

void DeviceChangeMessageSink::deliver(const platform::DeviceBroadcast& broadcast) {
    const size_t offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    const size_t bytes = offset + (broadcast.interfaceName.size() + 1) * sizeof(wchar_t);
    // DWORD elements keep the record's alignment; value-initialised, so the name ends in a NUL.
    std::vector<DWORD> storage((bytes + sizeof(DWORD) - 1) / sizeof(DWORD));
    auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(storage.data());
    record->dbcc_size = static_cast<DWORD>(bytes);
    record->dbcc_devicetype = broadcast.deviceType;
    // The name runs past the one-element array the structure declares.
    std::memcpy(reinterpret_cast<std::byte*>(storage.data()) + offset,
                broadcast.interfaceName.data(), broadcast.interfaceName.size() * sizeof(wchar_t));
    SendMessageW(window_, WM_DEVICECHANGE, broadcast.eventCode, reinterpret_cast<LPARAM>(record));
}

}  // namespace v270::win32
