// The program's HID backend on a mouse that the system's own HID stack presents: the virtual
// mouse driver under Wine, installed in this test's prefix and played through its control
// device. What the program's search finds, what a feature report and an input report become on
// their way, a read ended by a stop, and the unplugging and plugging in of the mouse.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "control_device.h"
#include "device/mouse_discovery.h"
#include "device_install.h"
#include "device_notice_window.h"
#include "platform/win32/hid_win32.h"

namespace v270 {
namespace {

using Kind = platform::DeviceNotice::Kind;

std::wstring infPath() {
    std::wstring path = V270_VMOUSE_INF;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

// Answers the next feature report the program sends, from a thread of its own, and keeps it.
class FeatureAnswer {
  public:
    FeatureAnswer(const virtualmouse::ControlDevice& control, bool accept)
        : thread_([&control, accept, this](std::stop_token stop) {
              if (auto report = control.takeFeature(stop)) {
                  bytes_ = report->bytes;
                  control.answerFeature(report->id, accept);
              }
          }) {}

    // What the driver received; empty when nothing came.
    std::vector<uint8_t> received() {
        thread_.join();
        return bytes_;
    }

  private:
    std::vector<uint8_t> bytes_;
    std::jthread thread_;
};

bool hasPath(const std::vector<platform::DeviceNotice>& notices, Kind kind,
             const std::u16string& path) {
    return std::any_of(notices.begin(), notices.end(), [&](const platform::DeviceNotice& notice) {
        return notice.kind == kind && platform::sameInterfaceName(notice.path, path);
    });
}

class VirtualMouseWin32Test : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // Installed once per prefix: later runs find the devices the first left.
        if (virtualmouse::registeredDevices() != 2) {
            virtualmouse::removeDevices();
            ASSERT_EQ(virtualmouse::installDevices(infPath()), "");
        }
    }

    void SetUp() override {
        window_.pumpUntil(
            [&] { return (control_ = virtualmouse::ControlDevice::open()) && found(); });
        ASSERT_TRUE(control_) << "the driver's control device";
        ASSERT_TRUE(found());
    }

    // The program's search found the mouse and opened both interfaces. In a new prefix the
    // system may list one collection before the other: the search then has only one.
    bool found() {
        return discovery_.FindMouse() == 1 && interfaces_.input() &&
               interfaces_.input()->usable() && interfaces_.feature() &&
               interfaces_.feature()->usable();
    }

    std::unique_ptr<platform::HidDevice> open(uint16_t usagePage) {
        const auto& listing =
            usagePage == 0xFF00 ? interfaces_.input()->listing() : interfaces_.feature()->listing();
        return hid_.open(listing.path, usagePage == 0xFF00 ? platform::HidAccess::Read
                                                           : platform::HidAccess::Write);
    }

    DeviceNoticeWindow window_;
    std::atomic<HWND> noticeWindow_{window_.get()};
    win32::Win32HidSystem hid_{noticeWindow_};
    MouseInterfaces interfaces_;
    MouseDiscovery discovery_{hid_, interfaces_};
    std::optional<virtualmouse::ControlDevice> control_;
};

TEST_F(VirtualMouseWin32Test, TheSearchFindsBothCollectionsAsWindowsListsThem) {
    const platform::HidInterface& input = interfaces_.input()->listing();
    const platform::HidInterface& feature = interfaces_.feature()->listing();
    EXPECT_EQ(input.usagePage, 0xFF00);
    EXPECT_EQ(input.inputReportLength, 8);
    EXPECT_EQ(input.featureReportLength, 0);
    EXPECT_EQ(feature.usagePage, 0xFF01);
    EXPECT_EQ(feature.featureReportLength, 9);
    EXPECT_EQ(feature.inputReportLength, 0);
    for (const auto* listing : {&input, &feature}) {
        EXPECT_EQ(listing->vendorId, 0x18F8);
        EXPECT_EQ(listing->productId, 0x0F99);
        EXPECT_EQ(listing->usage, 1);
    }
    EXPECT_NE(std::u16string(input.path).find(u"mi_01&col01"), std::u16string::npos);
    EXPECT_NE(std::u16string(feature.path).find(u"mi_01&col02"), std::u16string::npos);
}

TEST_F(VirtualMouseWin32Test, ReportsTravelWholeAndARefusalIsTheSystemsFailure) {
    const auto feature = open(0xFF01);
    ASSERT_NE(feature, nullptr);
    FeatureAnswer accepted(*control_, true);
    const std::array<uint8_t, 4> dpiLed = {0x07, 0x09, 0x01, 0xA0};
    EXPECT_TRUE(feature->sendFeatureReport(dpiLed).ok);
    EXPECT_EQ(accepted.received(), (std::vector<uint8_t>{0x07, 0x09, 0x01, 0xA0, 0, 0, 0, 0, 0}))
        << "padded to the collection's length";

    FeatureAnswer refused(*control_, false);
    const platform::HidResult result = feature->sendFeatureReport(dpiLed);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error.rfind("HidD_SetFeature: (0x", 0), 0u) << result.error;
    EXPECT_EQ(refused.received().size(), 9u);

    const auto input = open(0xFF00);
    ASSERT_NE(input, nullptr);
    // A report of an identifier the collection does not declare never reaches a reader.
    const std::array<uint8_t, 8> unknown = {0x09, 0xF2};
    const std::array<uint8_t, 8> press = {0x06, 0xF3, 0x00, 0x00, 0x00, 0x00, 0x00, 0x5A};
    ASSERT_TRUE(control_->pushInput(unknown));
    ASSERT_TRUE(control_->pushInput(press));
    std::array<uint8_t, 8> buffer{};
    ASSERT_TRUE(input->readInputReport(buffer, {}).ok);
    EXPECT_EQ(buffer, press);
}

TEST_F(VirtualMouseWin32Test, AStopEndsAPendingReadAndTheHandleReadsOn) {
    const auto input = open(0xFF00);
    ASSERT_NE(input, nullptr);
    std::array<uint8_t, 8> buffer{};
    platform::HidResult stopped;
    std::stop_source stop;
    std::jthread reader([&] { stopped = input->readInputReport(buffer, stop.get_token()); });
    stop.request_stop();
    reader.join();
    EXPECT_EQ(stopped.error, "ReadFile: stopped");

    const std::array<uint8_t, 8> release = {0x06, 0x00};
    ASSERT_TRUE(control_->pushInput(release));
    ASSERT_TRUE(input->readInputReport(buffer, {}).ok);
    EXPECT_EQ(buffer, release);
}

TEST_F(VirtualMouseWin32Test, UnpluggingEndsTheReadAndNamesTheMousePluggingFindsItAgain) {
    const std::u16string devicePath = discovery_.devicePath();
    const std::u16string inputPath = interfaces_.input()->listing().path;
    const std::u16string featurePath = interfaces_.feature()->listing().path;
    const auto input = open(0xFF00);
    ASSERT_NE(input, nullptr);
    std::array<uint8_t, 8> buffer{};
    platform::HidResult ended;
    std::jthread reader([&] { ended = input->readInputReport(buffer, {}); });

    ASSERT_EQ(virtualmouse::removeDevices(), "");
    ASSERT_TRUE(window_.pumpUntil([&] {
        return hasPath(window_.received, Kind::Removal, inputPath) &&
               hasPath(window_.received, Kind::Removal, featurePath);
    })) << "a removal for each interface";
    reader.join();
    EXPECT_FALSE(ended.ok) << "the pending read fails with the device";
    EXPECT_EQ(discovery_.onDeviceNotice({Kind::Removal, devicePath}),
              DeviceChangeOutcome::MouseRemoved);
    EXPECT_EQ(discovery_.deviceFound(), 0);

    ASSERT_EQ(virtualmouse::installDevices(infPath()), "");
    ASSERT_TRUE(window_.pumpUntil([&] {
        return hasPath(window_.received, Kind::Arrival, inputPath) &&
               hasPath(window_.received, Kind::Arrival, featurePath);
    })) << "an arrival for each interface";
    EXPECT_EQ(discovery_.onDeviceNotice({Kind::Arrival, devicePath}),
              DeviceChangeOutcome::MouseArrived);
    EXPECT_EQ(discovery_.deviceFound(), 1) << "the arrival searched again";
    const std::array<uint8_t, 8> press = {0x06, 0xF1};
    ASSERT_TRUE(control_->pushInput(press));
    ASSERT_TRUE(interfaces_.input()->read(buffer, {}));
    EXPECT_EQ(buffer, press);
}

}  // namespace
}  // namespace v270
