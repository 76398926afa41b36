#include "device/mouse_discovery.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "device/mouse_identity.h"

namespace v270 {

namespace {

bool isMouse(const platform::HidInterface& entry) {
    return entry.vendorId == mouse::kVendorId && entry.productId == mouse::kProductId;
}

bool isCollection(const platform::HidInterface& entry, uint16_t usagePage) {
    return entry.usagePage == usagePage && entry.usage == mouse::kVendorUsage;
}

}  // namespace

uint8_t MouseDiscovery::FindMouse() {
    deviceFound_.store(0, std::memory_order_release);
    const std::vector<platform::HidInterface> present = hid_.enumerate();
    // Assigned means opened or tried in this search: a failed open counts, and leaves an
    // entry that sends and reads nothing.
    bool inputAssigned = false;
    bool featureAssigned = false;
    const size_t examined = std::min<size_t>(present.size(), mouse::kMaxInterfaceIndex);
    for (size_t index = 0; index < examined; ++index) {
        const platform::HidInterface& entry = present[index];
        if (!isMouse(entry))
            continue;

        deviceFound_.store(1, std::memory_order_release);
        {
            const std::lock_guard lock(pathMutex_);
            devicePath_ = entry.path;
        }
        hid_.registerForNotices();

        if (isCollection(entry, mouse::kInputUsagePage)) {
            // An entry whose reports the link cannot hold is not opened at all.
            auto device = servesInputReportLength(entry.inputReportLength)
                              ? hid_.open(entry.path, platform::HidAccess::Read)
                              : nullptr;
            interfaces_.publishInput(std::make_shared<InputChannel>(entry, std::move(device)));
            inputAssigned = true;
        }
        if (isCollection(entry, mouse::kFeatureUsagePage)) {
            auto device = servesFeatureReportLength(entry.featureReportLength)
                              ? hid_.open(entry.path, platform::HidAccess::Write)
                              : nullptr;
            interfaces_.publishFeature(std::make_shared<FeatureChannel>(entry, std::move(device)));
            featureAssigned = true;
        }
        if (inputAssigned && featureAssigned)
            break;
    }
    return deviceFound();
}

bool MouseDiscovery::namesDevicePath(const platform::DeviceNotice& notice) const {
    const std::lock_guard lock(pathMutex_);
    // Before the mouse has been seen there is no path, and no name can be its.
    return !devicePath_.empty() && platform::sameInterfaceName(notice.path, devicePath_);
}

DeviceChangeOutcome MouseDiscovery::onDeviceNotice(const platform::DeviceNotice& notice) {
    if (!namesDevicePath(notice))
        return DeviceChangeOutcome::Nothing;
    if (notice.kind == platform::DeviceNotice::Kind::Removal) {
        deviceFound_.store(0, std::memory_order_release);
        return DeviceChangeOutcome::MouseRemoved;
    }
    if (deviceFound() == 0)
        FindMouse();
    return DeviceChangeOutcome::Nothing;
}

}  // namespace v270
