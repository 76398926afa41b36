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

char16_t upper(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

// "VID_18F8&PID_0F99": the system names every interface of a device after its identity, so a
// path tells the mouse's arrival from another device's, whichever port it was plugged into.
std::u16string identityInPaths() {
    const auto hex = [](uint16_t value) {
        static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
        std::u16string text;
        for (int shift = 12; shift >= 0; shift -= 4)
            text += kDigits[(value >> shift) & 0xF];
        return text;
    };
    return u"VID_" + hex(mouse::kVendorId) + u"&PID_" + hex(mouse::kProductId);
}

bool carriesMouseIdentity(std::u16string_view path) {
    std::u16string shouted(path);
    std::transform(shouted.begin(), shouted.end(), shouted.begin(), upper);
    return shouted.find(identityInPaths()) != std::u16string::npos;
}

// The vendor collections of one device met so far.
struct CollectionPair {
    std::u16string device;
    const platform::HidInterface* input = nullptr;
    const platform::HidInterface* feature = nullptr;
    bool complete() const { return input != nullptr && feature != nullptr; }
};

}  // namespace

uint8_t MouseDiscovery::FindMouse() {
    deviceFound_.store(0, std::memory_order_release);
    paired_.store(false, std::memory_order_release);
    const std::vector<platform::HidInterface> present = hid_.enumerate();
    // Two mice of this model list their collections in any order (A input, B input, A
    // feature, ...): the collections are grouped by the device they belong to, and the first
    // device complete wins, so that presses and settings travel through one mouse.
    std::vector<CollectionPair> devices;
    const CollectionPair* complete = nullptr;
    const size_t examined = std::min<size_t>(present.size(), mouse::kMaxInterfaceIndex);
    for (size_t index = 0; index < examined && complete == nullptr; ++index) {
        const platform::HidInterface& entry = present[index];
        if (!isMouse(entry))
            continue;

        deviceFound_.store(1, std::memory_order_release);
        {
            const std::lock_guard lock(pathMutex_);
            devicePath_ = entry.path;
        }
        hid_.registerForNotices();

        const bool input = isCollection(entry, mouse::kInputUsagePage);
        const bool feature = isCollection(entry, mouse::kFeatureUsagePage);
        if (!input && !feature)
            continue;
        auto pair = std::find_if(devices.begin(), devices.end(),
                                 [&](const CollectionPair& p) { return p.device == entry.device; });
        if (pair == devices.end())
            pair = devices.insert(devices.end(), CollectionPair{entry.device, nullptr, nullptr});
        if (input && pair->input == nullptr)
            pair->input = &entry;
        if (feature && pair->feature == nullptr)
            pair->feature = &entry;
        if (pair->complete())
            complete = &*pair;
    }
    if (devices.empty())
        return deviceFound();

    // With no device complete (a system that tells devices apart wrongly, or a mouse still
    // arriving) the first collection of each kind is taken, whichever device it names.
    CollectionPair taken = complete != nullptr ? *complete : CollectionPair{};
    for (const CollectionPair& device : devices) {
        if (taken.input == nullptr)
            taken.input = device.input;
        if (taken.feature == nullptr)
            taken.feature = device.feature;
    }
    // Assigned means opened or tried: a failed open leaves an entry that sends and reads
    // nothing.
    std::vector<std::u16string> takenPaths;
    bool usable = taken.complete();
    if (const platform::HidInterface* entry = taken.input) {
        // An entry whose reports the link cannot hold is not opened at all.
        auto device = servesInputReportLength(entry->inputReportLength)
                          ? hid_.open(entry->path, platform::HidAccess::Read)
                          : nullptr;
        auto channel = std::make_shared<InputChannel>(*entry, std::move(device));
        usable = usable && channel->usable();
        interfaces_.publishInput(std::move(channel));
        takenPaths.push_back(entry->path);
    }
    if (const platform::HidInterface* entry = taken.feature) {
        auto device = servesFeatureReportLength(entry->featureReportLength)
                          ? hid_.open(entry->path, platform::HidAccess::Write)
                          : nullptr;
        auto channel = std::make_shared<FeatureChannel>(*entry, std::move(device));
        usable = usable && channel->usable();
        interfaces_.publishFeature(std::move(channel));
        takenPaths.push_back(entry->path);
    }
    {
        const std::lock_guard lock(pathMutex_);
        takenPaths_ = std::move(takenPaths);
    }
    paired_.store(usable, std::memory_order_release);
    return deviceFound();
}

bool MouseDiscovery::namesTheMouse(const platform::DeviceNotice& notice) const {
    const std::lock_guard lock(pathMutex_);
    // Before the mouse has been seen there is no path, and no name can be its.
    if (!devicePath_.empty() && platform::sameInterfaceName(notice.path, devicePath_))
        return true;
    return std::any_of(takenPaths_.begin(), takenPaths_.end(), [&](const std::u16string& path) {
        return platform::sameInterfaceName(notice.path, path);
    });
}

bool MouseDiscovery::mayBeTheMouse(const platform::DeviceNotice& notice) const {
    return namesTheMouse(notice) || carriesMouseIdentity(notice.path);
}

DeviceChangeOutcome MouseDiscovery::searchAgain() {
    FindMouse();
    return paired() ? DeviceChangeOutcome::MouseArrived : DeviceChangeOutcome::Nothing;
}

DeviceChangeOutcome MouseDiscovery::onDeviceNotice(const platform::DeviceNotice& notice) {
    using Kind = platform::DeviceNotice::Kind;
    switch (notice.kind) {
        case Kind::Removal:
        case Kind::QueryRemove:
            if (!namesTheMouse(notice))
                return DeviceChangeOutcome::Nothing;
            // Closed before the answer: a handle still open would make the system refuse the
            // removal, or ask for a restart.
            interfaces_.closeAll();
            paired_.store(false, std::memory_order_release);
            deviceFound_.store(0, std::memory_order_release);
            return DeviceChangeOutcome::MouseRemoved;
        case Kind::Arrival:
        case Kind::RemoveCancelled:
            // Each collection arrives on its own: the search goes on until both are open.
            if (paired() || !mayBeTheMouse(notice))
                return DeviceChangeOutcome::Nothing;
            return searchAgain();
    }
    return DeviceChangeOutcome::Nothing;
}

}  // namespace v270
