#include "platform/win32/hid_win32.h"

// The configuration manager's calls come from setupapi.dll, a known DLL of the system.
#include <cfgmgr32.h>
#include <dbt.h>
#include <setupapi.h>

// The mingw HID headers have no C++ linkage block of their own.
extern "C" {
#include <hidsdi.h>
}

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <functional>
#include <optional>
#include <stop_token>
#include <vector>

#include "platform/win32/device_broadcast_win32.h"
#include "platform/win32/device_info_set.h"
#include "platform/win32/unique_handle.h"

namespace v270::win32 {

namespace {

// The search looks at this many members of the interface class, present or not.
constexpr DWORD kMaxMemberIndex = 100;

std::wstring widePath(std::u16string_view path) {
    return std::wstring(path.begin(), path.end());
}

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

UniqueHandle openInterface(std::u16string_view path, DWORD access, DWORD flags) {
    const std::wstring name = widePath(path);
    return UniqueHandle(CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, flags, nullptr));
}

std::optional<HIDP_CAPS> capsOf(HANDLE device) {
    const PreparsedData preparsed(device);
    HIDP_CAPS caps{};
    if (preparsed.get() == nullptr || HidP_GetCaps(preparsed.get(), &caps) != HIDP_STATUS_SUCCESS)
        return std::nullopt;
    return caps;
}

std::u16string deviceIdOf(DEVINST node) {
    wchar_t id[MAX_DEVICE_ID_LEN + 1] = {};
    if (CM_Get_Device_IDW(node, id, MAX_DEVICE_ID_LEN, 0) != CR_SUCCESS)
        return {};
    const std::wstring_view text(id);
    return std::u16string(text.begin(), text.end());
}

// The physical device a HID collection belongs to, the same for all collections of one mouse:
// the parent of its device node (the USB interface of a real mouse), or the node itself when the
// root is its parent. A device that presents each collection as a node of its own (a test
// device the system enumerates by itself) is named without the collection part:
// "ROOT\VID_18F8&PID_0F99&MI_01&COL01\0000" and "...&COL02\0000" are one device.
std::u16string physicalDeviceOf(DEVINST collection) {
    DEVINST parent = 0;
    DEVINST grandparent = 0;
    const bool parentIsDevice = CM_Get_Parent(&parent, collection, 0) == CR_SUCCESS &&
                                CM_Get_Parent(&grandparent, parent, 0) == CR_SUCCESS;
    std::u16string id = deviceIdOf(parentIsDevice ? parent : collection);
    const size_t instance = id.rfind(u'\\');
    std::u16string upper = id.substr(0, instance == std::u16string::npos ? id.size() : instance);
    for (char16_t& c : upper)
        c = c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
    const size_t part = upper.rfind(u"&COL");
    if (part != std::u16string::npos) {
        size_t end = part + 4;
        while (end < upper.size() && std::iswxdigit(static_cast<wint_t>(upper[end])))
            ++end;
        id.erase(part, end - part);
    }
    return id;
}

struct Member {
    std::u16string path;
    std::u16string device;
};

std::optional<Member> listedMember(HDEVINFO set, const GUID& hidGuid, DWORD index,
                                   bool& listEnded) {
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof data;
    if (!SetupDiEnumDeviceInterfaces(set, nullptr, &hidGuid, index, &data)) {
        listEnded = GetLastError() == ERROR_NO_MORE_ITEMS;
        return std::nullopt;
    }
    DWORD required = 0;
    SetupDiGetDeviceInterfaceDetailW(set, &data, nullptr, 0, &required, nullptr);
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W))
        return std::nullopt;
    // DWORD elements keep the structure's alignment.
    std::vector<DWORD> storage((required + sizeof(DWORD) - 1) / sizeof(DWORD));
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    SP_DEVINFO_DATA node{};
    node.cbSize = sizeof node;
    if (!SetupDiGetDeviceInterfaceDetailW(set, &data, detail, required, nullptr, &node))
        return std::nullopt;
    const std::wstring_view path(detail->DevicePath);
    return Member{std::u16string(path.begin(), path.end()), physicalDeviceOf(node.DevInst)};
}

// What a handle opened with no access tells of its interface; nullopt when not even the
// identity can be read.
std::optional<platform::HidInterface> describe(Member listed) {
    const UniqueHandle probe = openInterface(listed.path, 0, 0);
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof attributes;
    if (!probe || !HidD_GetAttributes(probe.get(), &attributes))
        return std::nullopt;
    platform::HidInterface entry;
    entry.path = std::move(listed.path);
    entry.device = std::move(listed.device);
    entry.vendorId = attributes.VendorID;
    entry.productId = attributes.ProductID;
    // Capabilities that cannot be read leave zeros, which match no collection.
    if (const std::optional<HIDP_CAPS> caps = capsOf(probe.get())) {
        entry.usagePage = caps->UsagePage;
        entry.usage = caps->Usage;
        entry.inputReportLength = caps->InputReportByteLength;
        entry.featureReportLength = caps->FeatureReportByteLength;
    }
    return entry;
}

// The window's registration for the notices of one handle, undone before the handle closes.
class HandleNoticeRegistration {
  public:
    HandleNoticeRegistration(HWND window, HANDLE handle, std::u16string path,
                             std::shared_ptr<HandleNotices> notices)
        : notices_(std::move(notices)) {
        if (window == nullptr)
            return;
        DEV_BROADCAST_HANDLE filter{};
        filter.dbch_size = sizeof filter;
        filter.dbch_devicetype = DBT_DEVTYP_HANDLE;
        filter.dbch_handle = handle;
        registration_ = RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
        if (registration_ != nullptr)
            notices_->add(registration_, std::move(path));
    }
    HandleNoticeRegistration(const HandleNoticeRegistration&) = delete;
    HandleNoticeRegistration& operator=(const HandleNoticeRegistration&) = delete;
    ~HandleNoticeRegistration() {
        if (registration_ == nullptr)
            return;
        notices_->remove(registration_);
        UnregisterDeviceNotification(registration_);
    }

  private:
    const std::shared_ptr<HandleNotices> notices_;
    HDEVNOTIFY registration_ = nullptr;
};

// A writing handle sends feature reports of the collection's own length; a reading handle,
// opened for overlapped I/O so that a stop can end a read, reads input reports.
class Win32HidDevice final : public platform::HidDevice {
  public:
    Win32HidDevice(UniqueHandle handle, size_t featureLength, HWND noticeWindow,
                   std::u16string path, std::shared_ptr<HandleNotices> notices)
        : handle_(std::move(handle)),
          featureLength_(featureLength),
          registration_(noticeWindow, handle_.get(), std::move(path), std::move(notices)) {}

    platform::HidResult sendFeatureReport(std::span<const uint8_t> report) override {
        std::vector<uint8_t> buffer = platform::reportOfLength(report, featureLength_);
        if (HidD_SetFeature(handle_.get(), buffer.data(), static_cast<ULONG>(buffer.size())))
            return platform::HidResult::success();
        return platform::HidResult::failure(systemErrorText("HidD_SetFeature", GetLastError()));
    }

    platform::HidResult readInputReport(std::span<uint8_t> buffer, std::stop_token stop) override {
        const UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        const UniqueHandle stopped(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!done || !stopped)
            return platform::HidResult::failure(systemErrorText("CreateEventW", GetLastError()));
        const HANDLE stopEvent = stopped.get();
        const std::stop_callback<std::function<void()>> onStop(
            stop, [stopEvent] { SetEvent(stopEvent); });
        OVERLAPPED overlapped{};
        overlapped.hEvent = done.get();
        DWORD read = 0;
        if (!ReadFile(handle_.get(), buffer.data(), static_cast<DWORD>(buffer.size()), nullptr,
                      &overlapped)) {
            const DWORD error = GetLastError();
            if (error != ERROR_IO_PENDING)
                return platform::HidResult::failure(systemErrorText("ReadFile", error));
            const HANDLE handles[] = {done.get(), stopEvent};
            if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0) {
                CancelIoEx(handle_.get(), &overlapped);
                // The buffer and the structure must outlive the read: wait for it to end.
                GetOverlappedResult(handle_.get(), &overlapped, &read, TRUE);
                return platform::HidResult::failure("ReadFile: stopped");
            }
        }
        if (!GetOverlappedResult(handle_.get(), &overlapped, &read, TRUE))
            return platform::HidResult::failure(systemErrorText("ReadFile", GetLastError()));
        const std::span<uint8_t> unread = buffer.subspan(std::min<size_t>(read, buffer.size()));
        std::fill(unread.begin(), unread.end(), uint8_t{0});
        return platform::HidResult::success();
    }

  private:
    UniqueHandle handle_;
    const size_t featureLength_;
    const HandleNoticeRegistration registration_;  // after the handle: undone before it closes
};

}  // namespace

std::string systemErrorText(std::string_view operation, DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string words;
    if (length != 0 && text != nullptr) {
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr,
                                              0, nullptr, nullptr);
        words.resize(static_cast<size_t>(bytes));
        WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), words.data(), bytes,
                            nullptr, nullptr);
    }
    if (text != nullptr)
        LocalFree(text);
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == ' '))
        words.pop_back();
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, ": (0x%08lX)", static_cast<unsigned long>(code));
    std::string result(operation);
    result += prefix;
    if (!words.empty())
        result += " " + words;
    return result;
}

Win32HidSystem::Win32HidSystem(const std::atomic<HWND>& noticeWindow)
    : noticeWindow_(noticeWindow) {
    HidD_GetHidGuid(&hidGuid_);
}

Win32HidSystem::~Win32HidSystem() {
    if (registration_ != nullptr)
        UnregisterDeviceNotification(registration_);
}

std::vector<platform::HidInterface> Win32HidSystem::enumerate() {
    std::vector<platform::HidInterface> present;
    const DeviceInfoSet set(
        SetupDiGetClassDevsW(&hidGuid_, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!set.valid())
        return present;
    bool listEnded = false;
    for (DWORD index = 0; index < kMaxMemberIndex && !listEnded; ++index) {
        // A member that cannot be read is skipped; the list goes on after it.
        if (std::optional<Member> listed = listedMember(set.get(), hidGuid_, index, listEnded)) {
            if (std::optional<platform::HidInterface> entry = describe(std::move(*listed)))
                present.push_back(std::move(*entry));
        }
    }
    return present;
}

std::unique_ptr<platform::HidDevice> Win32HidSystem::open(std::u16string_view path,
                                                          platform::HidAccess access) {
    const bool read = access == platform::HidAccess::Read;
    UniqueHandle handle =
        openInterface(path, read ? GENERIC_READ : GENERIC_WRITE, read ? FILE_FLAG_OVERLAPPED : 0);
    if (!handle)
        return nullptr;
    const std::optional<HIDP_CAPS> caps = capsOf(handle.get());
    const size_t featureLength = caps ? caps->FeatureReportByteLength : 0;
    return std::make_unique<Win32HidDevice>(std::move(handle), featureLength, noticeWindow_.load(),
                                            std::u16string(path), handleNotices_);
}

void Win32HidSystem::registerForNotices() {
    const HWND window = noticeWindow_.load();
    if (registration_ != nullptr || window == nullptr)
        return;
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = hidGuid_;
    registration_ = RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

std::optional<platform::DeviceNotice> Win32HidSystem::noticeFromMessage(WPARAM eventCode,
                                                                        LPARAM header) const {
    const auto* common = reinterpret_cast<const DEV_BROADCAST_HDR*>(header);
    if (common == nullptr || common->dbch_devicetype != DBT_DEVTYP_HANDLE ||
        common->dbch_size < sizeof(DEV_BROADCAST_HANDLE))
        return deviceNoticeFromMessage(eventCode, header);
    using Kind = platform::DeviceNotice::Kind;
    Kind kind{};
    switch (eventCode) {
        case DBT_DEVICEQUERYREMOVE:
            kind = Kind::QueryRemove;
            break;
        case DBT_DEVICEQUERYREMOVEFAILED:
            kind = Kind::RemoveCancelled;
            break;
        case DBT_DEVICEREMOVEPENDING:
        case DBT_DEVICEREMOVECOMPLETE:
            kind = Kind::Removal;
            break;
        default:
            return std::nullopt;
    }
    const auto* handle = reinterpret_cast<const DEV_BROADCAST_HANDLE*>(header);
    // Only a registration of ours names a path; another's handle is none of our business.
    std::optional<std::u16string> path = handleNotices_->pathOf(handle->dbch_hdevnotify);
    if (!path)
        return std::nullopt;
    return platform::DeviceNotice{kind, std::move(*path)};
}

}  // namespace v270::win32
