#include "device_install.h"

#include <cfgmgr32.h>
#include <newdev.h>
#include <setupapi.h>

#include <vector>

#include "platform/win32/device_info_set.h"
#include "platform/win32/hid_win32.h"
#include "virtual_mouse_control.h"

namespace v270::virtualmouse {

namespace {

// The HIDClass device setup class.
constexpr GUID kHidClass = {
    0x745a17a0, 0x74d3, 0x11d0, {0xb6, 0xfe, 0x00, 0xa0, 0xc9, 0x0f, 0x57, 0xda}};

std::string failure(const char* operation) {
    return win32::systemErrorText(operation, GetLastError());
}

std::wstring hardwareIdOf(HDEVINFO set, SP_DEVINFO_DATA& device) {
    wchar_t ids[512] = {};
    if (!SetupDiGetDeviceRegistryPropertyW(set, &device, SPDRP_HARDWAREID, nullptr,
                                           reinterpret_cast<BYTE*>(ids), sizeof ids - 4, nullptr))
        return {};
    return ids;  // the first id of the list
}

std::wstring instanceIdOf(HDEVINFO set, SP_DEVINFO_DATA& device) {
    wchar_t id[MAX_DEVICE_ID_LEN] = {};
    if (!SetupDiGetDeviceInstanceIdW(set, &device, id, MAX_DEVICE_ID_LEN, nullptr))
        return {};
    return id;
}

// The instance number that ends a device instance id, as in "ROOT\...&COL01\0001"; -1 when
// there is none.
int mouseOf(const std::wstring& instanceId) {
    const size_t slash = instanceId.rfind(L'\\');
    if (slash == std::wstring::npos || slash + 1 == instanceId.size())
        return -1;
    int number = 0;
    for (const wchar_t c : instanceId.substr(slash + 1)) {
        if (c < L'0' || c > L'9')
            return -1;
        number = number * 10 + (c - L'0');
    }
    return number;
}

// The registered devices of the virtual mouse (of one mouse, or of all), the input
// collections' first.
struct OwnDevices {
    win32::DeviceInfoSet list{SetupDiGetClassDevsW(&kHidClass, nullptr, nullptr, 0)};
    std::vector<SP_DEVINFO_DATA> devices;

    explicit OwnDevices(int mouse) {
        if (!list.valid())
            return;
        for (DWORD index = 0;; ++index) {
            SP_DEVINFO_DATA device{};
            device.cbSize = sizeof device;
            if (!SetupDiEnumDeviceInfo(list.get(), index, &device))
                break;
            if (lstrcmpiW(hardwareIdOf(list.get(), device).c_str(), V270_VMOUSE_HARDWARE_ID) != 0)
                continue;
            const std::wstring instance = instanceIdOf(list.get(), device);
            if (mouse != kEveryMouse && mouseOf(instance) != mouse)
                continue;
            const bool feature = instance.find(V270_VMOUSE_FEATURE_MARK) != std::wstring::npos;
            devices.insert(feature ? devices.end() : devices.begin(), device);
        }
    }
};

// Registers the root device `name` of mouse `mouse`: instance id ROOT\name\000N.
std::string registerDevice(const wchar_t* name, int mouse) {
    const win32::DeviceInfoSet list(SetupDiCreateDeviceInfoList(&kHidClass, nullptr));
    if (!list.valid())
        return failure("SetupDiCreateDeviceInfoList");
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    wchar_t instance[MAX_DEVICE_ID_LEN] = {};
    swprintf(instance, MAX_DEVICE_ID_LEN, L"ROOT\\%ls\\%04d", name, mouse);
    if (!SetupDiCreateDeviceInfoW(list.get(), instance, &kHidClass, nullptr, nullptr, 0, &device))
        return failure("SetupDiCreateDeviceInfoW");
    // A list of strings: the id, then an empty one.
    std::wstring ids = V270_VMOUSE_HARDWARE_ID;
    ids.append(2, L'\0');
    if (!SetupDiSetDeviceRegistryPropertyW(list.get(), &device, SPDRP_HARDWAREID,
                                           reinterpret_cast<const BYTE*>(ids.data()),
                                           static_cast<DWORD>(ids.size() * sizeof(wchar_t))))
        return failure("SetupDiSetDeviceRegistryPropertyW");
    if (!SetupDiCallClassInstaller(DIF_REGISTERDEVICE, list.get(), &device))
        return failure("DIF_REGISTERDEVICE");
    return {};
}

}  // namespace

std::string installDevices(const std::wstring& infPath, int mouse) {
    for (const wchar_t* name : {V270_VMOUSE_INPUT_DEVICE, V270_VMOUSE_FEATURE_DEVICE}) {
        if (std::string error = registerDevice(name, mouse); !error.empty())
            return error;
    }
    BOOL reboot = FALSE;
    if (!UpdateDriverForPlugAndPlayDevicesW(nullptr, V270_VMOUSE_HARDWARE_ID, infPath.c_str(),
                                            INSTALLFLAG_FORCE, &reboot))
        return failure("UpdateDriverForPlugAndPlayDevicesW");
    return {};
}

std::string removeDevices(int mouse) {
    OwnDevices own(mouse);
    for (SP_DEVINFO_DATA& device : own.devices) {
        if (!SetupDiCallClassInstaller(DIF_REMOVE, own.list.get(), &device))
            return failure("DIF_REMOVE");
    }
    return {};
}

int registeredDevices(int mouse) {
    return static_cast<int>(OwnDevices(mouse).devices.size());
}

std::wstring infBesideProgram() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    folder.erase(folder.find_last_of(L"\\/") + 1);
    return folder + L"v270vmouse.inf";
}

}  // namespace v270::virtualmouse
