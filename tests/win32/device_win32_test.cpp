// The device link's Windows paths, run for real under Wine: SetupAPI and the HID class
// library, WM_DEVICECHANGE records, SystemParametersInfoW and the named event.
#include <windows.h>

#include <dbt.h>
#include <gtest/gtest.h>

#include <atomic>

#include "device/mouse_discovery.h"
#include "platform/named_event.h"
#include "platform/win32/device_broadcast_win32.h"
#include "platform/win32/hid_win32.h"
#include "platform/win32/system_settings_win32.h"

namespace v270 {
namespace {

// Passes every call through to the real HID system and counts the member indexes asked for.
class CountingHidSystem final : public platform::HidSystem {
  public:
    class CountingEnumeration final : public platform::HidEnumeration {
      public:
        CountingEnumeration(std::unique_ptr<platform::HidEnumeration> inner,
                            CountingHidSystem& owner)
            : inner_(std::move(inner)), owner_(owner) {}
        std::optional<std::u16string> interfacePath(uint32_t index) override {
            ++owner_.indexesTried;
            owner_.lastIndex = index;
            return inner_->interfacePath(index);
        }

      private:
        std::unique_ptr<platform::HidEnumeration> inner_;
        CountingHidSystem& owner_;
    };

    std::unique_ptr<platform::HidEnumeration> enumerate() override {
        auto inner = real.enumerate();
        enumerated = inner != nullptr;
        if (!inner)
            return nullptr;
        return std::make_unique<CountingEnumeration>(std::move(inner), *this);
    }
    std::unique_ptr<platform::HidProbe> probe(std::u16string_view path) override {
        return real.probe(path);
    }
    std::unique_ptr<platform::HidDevice> open(std::u16string_view path,
                                              platform::HidAccess access) override {
        return real.open(path, access);
    }
    void registerForNotices() override { real.registerForNotices(); }

    win32::Win32HidSystem real;
    bool enumerated = false;
    int indexesTried = 0;
    uint32_t lastIndex = 0;
};

TEST(FindMouseWin32Test, WithNoMouseEveryIndexIsTriedAndNothingIsFound) {
    CountingHidSystem hid;
    MouseInterfaces interfaces;
    MouseDiscovery discovery(hid, interfaces);
    EXPECT_EQ(discovery.FindMouse(), 0);
    EXPECT_TRUE(hid.enumerated) << "SetupDiGetClassDevsW gave a device information set";
    EXPECT_EQ(hid.indexesTried, 100);
    EXPECT_EQ(hid.lastIndex, 99u);
    EXPECT_EQ(interfaces.input(), nullptr);
    EXPECT_EQ(interfaces.feature(), nullptr);
}

TEST(FindMouseWin32Test, PathsThatAreNoDeviceOpenNothing) {
    win32::Win32HidSystem hid;
    EXPECT_EQ(hid.probe(u"\\\\?\\hid#vid_18f8&pid_0f99#none"), nullptr);
    EXPECT_EQ(hid.open(u"\\\\?\\hid#vid_18f8&pid_0f99#none", platform::HidAccess::Read), nullptr);
    hid.registerForNotices();  // no window yet: nothing to register, nothing to fail
}

// A message-only window that turns WM_DEVICECHANGE into the portable broadcast.
class DeviceChangeWindow {
  public:
    DeviceChangeWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &DeviceChangeWindow::procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"V270DeviceChangeTest";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, L"V270DeviceChangeTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, windowClass.hInstance, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~DeviceChangeWindow() { DestroyWindow(window_); }
    HWND get() const { return window_; }

    std::vector<platform::DeviceBroadcast> received;

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM first, LPARAM second) {
        auto* self =
            reinterpret_cast<DeviceChangeWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_DEVICECHANGE && self != nullptr) {
            self->received.push_back(win32::deviceBroadcastFromMessage(first, second));
            return TRUE;
        }
        return DefWindowProcW(window, message, first, second);
    }
    HWND window_ = nullptr;
};

TEST(DeviceBroadcastWin32Test, TheSinkSendsWhatTheHandlerReadsBack) {
    DeviceChangeWindow window;
    ASSERT_NE(window.get(), nullptr);
    win32::DeviceChangeMessageSink sink(window.get());
    const platform::DeviceBroadcast removal{platform::kDeviceRemoveComplete,
                                            platform::kDeviceTypeInterface,
                                            u"\\\\?\\HID#VID_18F8&PID_0F99&MI_01&COL02#x"};
    sink.deliver(removal);
    sink.deliver({platform::kDeviceArrival, platform::kDeviceTypeInterface, u""});
    ASSERT_EQ(window.received.size(), 2u);
    EXPECT_EQ(window.received[0], removal);
    EXPECT_EQ(window.received[1].eventCode, static_cast<uint32_t>(DBT_DEVICEARRIVAL));
    EXPECT_TRUE(window.received[1].interfaceName.empty());
    EXPECT_EQ(platform::kDeviceRemoveComplete, static_cast<uint32_t>(DBT_DEVICEREMOVECOMPLETE));
    EXPECT_EQ(platform::kDeviceTypeInterface, static_cast<uint32_t>(DBT_DEVTYP_DEVICEINTERFACE));
}

TEST(DeviceBroadcastWin32Test, RecordsOfOtherTypesAndBadSizesGiveNoName) {
    DEV_BROADCAST_HDR volume{};
    volume.dbch_size = sizeof volume;
    volume.dbch_devicetype = DBT_DEVTYP_VOLUME;
    const auto other = win32::deviceBroadcastFromMessage(DBT_DEVICEREMOVECOMPLETE,
                                                         reinterpret_cast<LPARAM>(&volume));
    EXPECT_EQ(other.deviceType, static_cast<uint32_t>(DBT_DEVTYP_VOLUME));
    EXPECT_TRUE(other.interfaceName.empty());

    DEV_BROADCAST_DEVICEINTERFACE_W unterminated{};
    unterminated.dbcc_size = sizeof unterminated;
    unterminated.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    unterminated.dbcc_name[0] = L'A';
    const auto cut = win32::deviceBroadcastFromMessage(DBT_DEVICEARRIVAL,
                                                       reinterpret_cast<LPARAM>(&unterminated));
    EXPECT_LE(cut.interfaceName.size(), 2u) << "the name never runs past the record";
    EXPECT_EQ(win32::deviceBroadcastFromMessage(DBT_DEVNODES_CHANGED, 0).eventCode,
              static_cast<uint32_t>(DBT_DEVNODES_CHANGED));
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
