#include "device/mouse_discovery.h"

#include <memory>
#include <optional>

#include "device/mouse_identity.h"

namespace v270 {

namespace {

char16_t upperAsciiLetter(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool isMouse(const platform::HidAttributes& attributes) {
    return attributes.vendorId == mouse::kVendorId && attributes.productId == mouse::kProductId;
}

bool isCollection(const platform::HidCaps& caps, uint16_t usagePage) {
    return caps.usagePage == usagePage && caps.usage == mouse::kVendorUsage;
}

}  // namespace

bool sameInterfaceName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (upperAsciiLetter(a[i]) != upperAsciiLetter(b[i]))
            return false;
    }
    return true;
}

uint8_t MouseDiscovery::FindMouse() {
    deviceFound_.store(0, std::memory_order_release);
    const std::unique_ptr<platform::HidEnumeration> enumeration = hid_.enumerate();
    // Assigned means opened or tried in this search: a failed open counts, and leaves an
    // interface that sends and reads nothing.
    bool inputAssigned = false;
    bool featureAssigned = false;
    // The bound holds even when the enumeration has ended before it.
    for (uint32_t index = 0; index < mouse::kMaxInterfaceIndex; ++index) {
        const std::optional<std::u16string> path =
            enumeration ? enumeration->interfacePath(index) : std::nullopt;
        if (!path)
            continue;
        const std::unique_ptr<platform::HidProbe> probe = hid_.probe(*path);
        if (!probe)
            continue;
        const std::optional<platform::HidAttributes> attributes = probe->attributes();
        if (!attributes || !isMouse(*attributes))
            continue;

        deviceFound_.store(1, std::memory_order_release);
        {
            const std::lock_guard lock(pathMutex_);
            devicePath_ = *path;
        }
        hid_.registerForNotices();

        // Capabilities that cannot be read match no collection, so nothing is opened for them.
        const platform::HidCaps caps = probe->caps().value_or(platform::HidCaps{});
        if (isCollection(caps, mouse::kInputUsagePage)) {
            // An interface whose reports the link cannot hold is not opened at all.
            auto device = servesInputReportLength(caps.inputReportByteLength)
                              ? hid_.open(*path, platform::HidAccess::Read)
                              : nullptr;
            interfaces_.publishInput(
                std::make_shared<InputChannel>(caps, std::move(device), observer_));
            inputAssigned = true;
        }
        if (isCollection(caps, mouse::kFeatureUsagePage)) {
            auto device = servesFeatureReportLength(caps.featureReportByteLength)
                              ? hid_.open(*path, platform::HidAccess::Write)
                              : nullptr;
            interfaces_.publishFeature(
                std::make_shared<FeatureChannel>(caps, std::move(device), observer_));
            featureAssigned = true;
        }
        if (inputAssigned && featureAssigned)
            break;
    }
    return deviceFound();
}

bool MouseDiscovery::namesDevicePath(const platform::DeviceBroadcast& broadcast) const {
    if (broadcast.deviceType != platform::kDeviceTypeInterface)
        return false;
    const std::lock_guard lock(pathMutex_);
    // Before the mouse has been seen there is no path, and no name can be its.
    return !devicePath_.empty() && sameInterfaceName(broadcast.interfaceName, devicePath_);
}

DeviceChangeOutcome MouseDiscovery::onDeviceChange(const platform::DeviceBroadcast& broadcast) {
    switch (broadcast.eventCode) {
        case platform::kDeviceRemoveComplete:
            if (!namesDevicePath(broadcast))
                return DeviceChangeOutcome::Nothing;
            deviceFound_.store(0, std::memory_order_release);
            return DeviceChangeOutcome::MouseRemoved;
        case platform::kDeviceArrival:
            if (namesDevicePath(broadcast) && deviceFound() == 0)
                FindMouse();
            return DeviceChangeOutcome::Nothing;
        default:
            return DeviceChangeOutcome::Nothing;
    }
}

}  // namespace v270
