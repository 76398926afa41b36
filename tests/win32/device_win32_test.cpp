// The device link's Windows paths, run for real under Wine: SetupAPI and the HID class
// library, WM_DEVICECHANGE records, SystemParametersInfoW and the named event.
#include <windows.h>

#include <dbt.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "app/win32/message_filter.h"
#include "device/mouse_discovery.h"
#include "device_notice_window.h"
#include "platform/named_event.h"
#include "platform/win32/hid_win32.h"
#include "platform/win32/system_settings_win32.h"

namespace v270 {
namespace {

TEST(FindMouseWin32Test, WithNoMouseNothingIsFound) {
    const std::atomic<HWND> noWindow{nullptr};
    win32::Win32HidSystem hid(noWindow);
    for (const platform::HidInterface& present : hid.enumerate())
        EXPECT_FALSE(present.vendorId == 0x18F8 && present.productId == 0x0F99);
    MouseInterfaces interfaces;
    MouseDiscovery discovery(hid, interfaces);
    EXPECT_EQ(discovery.FindMouse(), 0);
    EXPECT_EQ(interfaces.input(), nullptr);
    EXPECT_EQ(interfaces.feature(), nullptr);
}

TEST(FindMouseWin32Test, PathsThatAreNoDeviceOpenNothing) {
    const std::atomic<HWND> noWindow{nullptr};
    win32::Win32HidSystem hid(noWindow);
    EXPECT_EQ(hid.open(u"\\\\?\\hid#vid_18f8&pid_0f99#none", platform::HidAccess::Read), nullptr);
    EXPECT_EQ(hid.open(u"\\\\?\\hid#vid_18f8&pid_0f99#none", platform::HidAccess::Write), nullptr);
    hid.registerForNotices();  // no window yet: nothing to register, nothing to fail
}

TEST(SystemErrorTextTest, NamesTheOperationTheCodeAndTheSystemsWords) {
    const std::string text = win32::systemErrorText("HidD_SetFeature", ERROR_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(text.rfind("HidD_SetFeature: (0x0000048F) ", 0), 0u) << text;
    EXPECT_GT(text.size(), std::string("HidD_SetFeature: (0x0000048F) ").size());
    EXPECT_NE(text.back(), '\n');
    EXPECT_EQ(win32::systemErrorText("ReadFile", 0xDEADBEEF), "ReadFile: (0xDEADBEEF)")
        << "a code the system has no words for";
}

// The broadcast record of an interface notice, as the system sends it.
std::vector<DWORD> interfaceRecord(std::wstring_view name) {
    const size_t offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    const size_t bytes = offset + (name.size() + 1) * sizeof(wchar_t);
    std::vector<DWORD> storage((bytes + sizeof(DWORD) - 1) / sizeof(DWORD));
    auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(storage.data());
    record->dbcc_size = static_cast<DWORD>(bytes);
    record->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    std::memcpy(reinterpret_cast<std::byte*>(storage.data()) + offset, name.data(),
                name.size() * sizeof(wchar_t));
    return storage;
}

TEST(DeviceNoticeWin32Test, InterfaceArrivalsAndRemovalsBecomeNoticesAndNothingElseDoes) {
    DeviceNoticeWindow window;
    ASSERT_NE(window.get(), nullptr);
    auto removal = interfaceRecord(L"\\\\?\\HID#VID_18F8&PID_0F99&MI_01&COL02#x");
    SendMessageW(window.get(), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE,
                 reinterpret_cast<LPARAM>(removal.data()));
    SendMessageW(window.get(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL,
                 reinterpret_cast<LPARAM>(removal.data()));
    ASSERT_EQ(window.received.size(), 2u);
    EXPECT_EQ(window.received[0],
              (platform::DeviceNotice{platform::DeviceNotice::Kind::Removal,
                                      u"\\\\?\\HID#VID_18F8&PID_0F99&MI_01&COL02#x"}));
    EXPECT_EQ(window.received[1].kind, platform::DeviceNotice::Kind::Arrival);

    DEV_BROADCAST_HDR volume{};
    volume.dbch_size = sizeof volume;
    volume.dbch_devicetype = DBT_DEVTYP_VOLUME;
    SendMessageW(window.get(), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE,
                 reinterpret_cast<LPARAM>(&volume));
    SendMessageW(window.get(), WM_DEVICECHANGE, DBT_DEVICEQUERYREMOVE,
                 reinterpret_cast<LPARAM>(removal.data()));
    SendMessageW(window.get(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    EXPECT_EQ(window.withoutNotice, 3) << "another device type, another event, no record";
}

TEST(DeviceNoticeWin32Test, ANameNeverRunsPastItsRecord) {
    DEV_BROADCAST_DEVICEINTERFACE_W unterminated{};
    unterminated.dbcc_size = sizeof unterminated;
    unterminated.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    unterminated.dbcc_name[0] = L'A';
    const auto cut =
        win32::deviceNoticeFromMessage(DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&unterminated));
    ASSERT_TRUE(cut);
    EXPECT_LE(cut->path.size(), 2u);
}

TEST(PreFilterWin32Test, SwallowsEscapeEnterAndF10KeysOnly) {
    EXPECT_TRUE(win32::swallowedByPreFilter(WM_KEYDOWN, VK_ESCAPE));
    EXPECT_TRUE(win32::swallowedByPreFilter(WM_KEYDOWN, VK_RETURN));
    EXPECT_FALSE(win32::swallowedByPreFilter(WM_KEYUP, VK_RETURN)) << "the key-up goes on";
    EXPECT_FALSE(win32::swallowedByPreFilter(WM_KEYDOWN, VK_RETURN, true)) << "an editor's own";
    EXPECT_TRUE(win32::swallowedByPreFilter(WM_SYSKEYDOWN, VK_F10));
    EXPECT_TRUE(win32::swallowedByPreFilter(WM_KEYUP, VK_F10));
    EXPECT_FALSE(win32::swallowedByPreFilter(WM_SYSKEYDOWN, VK_F10, true)) << "the step list's";
    EXPECT_TRUE(win32::swallowedByPreFilter(WM_SYSKEYUP, VK_F10, true)) << "never its key-up";
    EXPECT_FALSE(win32::swallowedByPreFilter(WM_CHAR, VK_F10)) << "a typed y";
    EXPECT_FALSE(win32::swallowedByPreFilter(WM_COMMAND, VK_F10));
    EXPECT_FALSE(win32::swallowedByPreFilter(WM_KEYDOWN, 'A'));
}

TEST(SystemSettingsWin32Test, PointerSpeedAndWheelLinesAreSetAndReadBack) {
    win32::Win32SystemSettings settings;
    const auto speed = settings.pointerSpeed();
    const auto lines = settings.wheelScrollLines();
    ASSERT_TRUE(speed);
    ASSERT_TRUE(lines);
    settings.setPointerSpeed(14);
    settings.setWheelScrollLines(7);
    EXPECT_EQ(settings.pointerSpeed(), 14);
    EXPECT_EQ(settings.wheelScrollLines(), 7u);
    settings.setPointerSpeed(*speed);
    settings.setWheelScrollLines(*lines);
}

TEST(NamedEventWin32Test, TheEventExistsWhileItIsHeld) {
    const auto event = platform::createAutoResetEvent(u"MacroSendEnd");
    const HANDLE opened = OpenEventW(SYNCHRONIZE, FALSE, L"MacroSendEnd");
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(WaitForSingleObject(opened, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "not signalled";
    CloseHandle(opened);
}

}  // namespace
}  // namespace v270
