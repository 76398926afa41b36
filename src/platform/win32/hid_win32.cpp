#include "platform/win32/hid_win32.h"

#include <dbt.h>
#include <setupapi.h>

// The mingw HID headers have no C++ linkage block of their own.
extern "C" {
#include <hidsdi.h>
}

#include <string>
#include <vector>

#include "platform/win32/unique_handle.h"

namespace v270::win32 {

namespace {

std::wstring widePath(std::u16string_view path) {
    return std::wstring(path.begin(), path.end());
}

// Owns a device information set.
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

// Owns the parser data of one collection.
class PreparsedData {
  public:
    explicit PreparsedData(HANDLE device) {
        if (!HidD_GetPreparsedData(device, &data_))
            data_ = nullptr;
    }
    PreparsedData(const PreparsedData&) = delete;
    PreparsedData& operator=(const PreparsedData&) = delete;
    ~PreparsedData() {
        if (data_ != nullptr)
            HidD_FreePreparsedData(data_);
    }
    PHIDP_PREPARSED_DATA get() const { return data_; }

  private:
    PHIDP_PREPARSED_DATA data_ = nullptr;
};

UniqueHandle openInterface(std::u16string_view path, DWORD access) {
    const std::wstring name = widePath(path);
    return UniqueHandle(CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
}

class Win32HidEnumeration final : public platform::HidEnumeration {
  public:
    explicit Win32HidEnumeration(const GUID& hidGuid)
        : hidGuid_(hidGuid),
          set_(SetupDiGetClassDevsW(&hidGuid_, nullptr, nullptr,
                                    DIGCF_PRESENT | DIGCF_DEVICEINTERFACE)) {}

    bool valid() const { return set_.valid(); }

    std::optional<std::u16string> interfacePath(uint32_t index) override {
        SP_DEVICE_INTERFACE_DATA data{};
        data.cbSize = sizeof data;
        if (!SetupDiEnumDeviceInterfaces(set_.get(), nullptr, &hidGuid_, index, &data)) {
            return std::nullopt;
        }
        DWORD required = 0;
        SetupDiGetDeviceInterfaceDetailW(set_.get(), &data, nullptr, 0, &required, nullptr);
        if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W))
            return std::nullopt;
        // DWORD elements keep the structure's alignment.
        std::vector<DWORD> storage((required + sizeof(DWORD) - 1) / sizeof(DWORD));
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (!SetupDiGetDeviceInterfaceDetailW(set_.get(), &data, detail, required, nullptr,
                                              nullptr)) {
            return std::nullopt;
        }
        const std::wstring_view path(detail->DevicePath);
        return std::u16string(path.begin(), path.end());
    }

  private:
    GUID hidGuid_;
    DeviceInfoSet set_;
};

class Win32HidProbe final : public platform::HidProbe {
  public:
    explicit Win32HidProbe(UniqueHandle handle) : handle_(std::move(handle)) {}

    std::optional<platform::HidAttributes> attributes() override {
        HIDD_ATTRIBUTES attributes{};
        attributes.Size = sizeof attributes;
        if (!HidD_GetAttributes(handle_.get(), &attributes))
            return std::nullopt;
        return platform::HidAttributes{attributes.VendorID, attributes.ProductID,
                                       attributes.VersionNumber};
    }

    std::optional<platform::HidCaps> caps() override {
        const PreparsedData preparsed(handle_.get());
        if (preparsed.get() == nullptr)
            return std::nullopt;
        HIDP_CAPS caps{};
        if (HidP_GetCaps(preparsed.get(), &caps) != HIDP_STATUS_SUCCESS)
            return std::nullopt;
        return platform::HidCaps{caps.Usage,
                                 caps.UsagePage,
                                 caps.InputReportByteLength,
                                 caps.OutputReportByteLength,
                                 caps.FeatureReportByteLength,
                                 caps.NumberLinkCollectionNodes,
                                 caps.NumberInputButtonCaps,
                                 caps.NumberInputValueCaps,
                                 caps.NumberInputDataIndices,
                                 caps.NumberOutputButtonCaps,
                                 caps.NumberOutputValueCaps,
                                 caps.NumberOutputDataIndices,
                                 caps.NumberFeatureButtonCaps,
                                 caps.NumberFeatureValueCaps,
                                 caps.NumberFeatureDataIndices};
    }

  private:
    UniqueHandle handle_;
};

class Win32HidDevice final : public platform::HidDevice {
  public:
    explicit Win32HidDevice(UniqueHandle handle) : handle_(std::move(handle)) {}

    bool sendFeatureReport(std::span<const uint8_t> report) override {
        // HidD_SetFeature takes a writable buffer although it only reads it.
        std::vector<uint8_t> buffer(report.begin(), report.end());
        return HidD_SetFeature(handle_.get(), buffer.data(), static_cast<ULONG>(buffer.size())) !=
               FALSE;
    }

    bool readInputReport(std::span<uint8_t> buffer, std::stop_token stop) override {
        if (stop.stop_requested())
            return false;
        // A stop cancels the blocking read of this thread. A stop that comes before the read
        // has started is only seen after the next report.
        UniqueHandle thread;
        if (stop.stop_possible()) {
            thread.reset(OpenThread(THREAD_TERMINATE, FALSE, GetCurrentThreadId()));
        }
        const HANDLE threadHandle = thread.get();
        const std::stop_callback cancel(stop, [threadHandle] {
            if (threadHandle != nullptr)
                CancelSynchronousIo(threadHandle);
        });
        // The handle is not overlapped: the zeroed structure only gives the read its offset.
        OVERLAPPED overlapped{};
        DWORD read = 0;
        return ReadFile(handle_.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read,
                        &overlapped) != FALSE;
    }

  private:
    UniqueHandle handle_;
};

}  // namespace

Win32HidSystem::Win32HidSystem() {
    HidD_GetHidGuid(&hidGuid_);
}

Win32HidSystem::~Win32HidSystem() {
    if (registration_ != nullptr)
        UnregisterDeviceNotification(registration_);
}

std::unique_ptr<platform::HidEnumeration> Win32HidSystem::enumerate() {
    auto enumeration = std::make_unique<Win32HidEnumeration>(hidGuid_);
    if (!enumeration->valid())
        return nullptr;
    return enumeration;
}

std::unique_ptr<platform::HidProbe> Win32HidSystem::probe(std::u16string_view path) {
    UniqueHandle handle = openInterface(path, 0);
    if (!handle)
        return nullptr;
    return std::make_unique<Win32HidProbe>(std::move(handle));
}

std::unique_ptr<platform::HidDevice> Win32HidSystem::open(std::u16string_view path,
                                                          platform::HidAccess access) {
    UniqueHandle handle =
        openInterface(path, access == platform::HidAccess::Read ? GENERIC_READ : GENERIC_WRITE);
    if (!handle)
        return nullptr;
    return std::make_unique<Win32HidDevice>(std::move(handle));
}

void Win32HidSystem::registerForNotices() {
    if (registration_ != nullptr || noticeWindow_ == nullptr)
        return;
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = hidGuid_;
    registration_ =
        RegisterDeviceNotificationW(noticeWindow_, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

}  // namespace v270::win32
