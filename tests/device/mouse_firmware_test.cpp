#include "mouse_firmware.h"

#include <gtest/gtest.h>

#include "device/feature_reports.h"
#include "mouse_simulator.h"

namespace v270::mousesim {
namespace {

Bytes padded(FeatureReport report, size_t length = 9) {
    Bytes bytes(report.begin(), report.end());
    bytes.resize(length, 0);
    return bytes;
}

TEST(MouseFirmwareTest, FeatureReportsSetTheState) {
    MouseFirmware firmware({8, 9});
    EXPECT_TRUE(firmware.takeFeatureReport(padded(buttonReport(5, 31))));
    EXPECT_TRUE(firmware.takeFeatureReport(padded(buttonReport(9, 3)))) << "no such button";
    EXPECT_TRUE(firmware.takeFeatureReport(padded(wheelReport(2))));
    EXPECT_TRUE(firmware.takeFeatureReport(padded(dpiLedReport(1, 2, 3))));
    EXPECT_TRUE(firmware.takeFeatureReport(padded(fireReport(50))));
    EXPECT_TRUE(firmware.takeFeatureReport(padded(exitReport())));
    const std::string json = firmware.toJson({});
    EXPECT_NE(json.find("{\"id\":5,\"hardwareCode\":31,\"pressed\":false}"), std::string::npos);
    EXPECT_NE(json.find("\"wheel\":2,\"dpiLevel\":1,\"dpiCode\":2,\"ledMode\":3,"
                        "\"dpiLedByte\":163,\"fire\":6,\"exitReportSeen\":true"),
              std::string::npos)
        << json;
    EXPECT_EQ(firmware.log().size(), 6u);
}

TEST(MouseFirmwareTest, RefusedReportsAreLoggedAndChangeNothing) {
    MouseFirmware firmware({8, 9});
    EXPECT_FALSE(firmware.takeFeatureReport(padded(fireReport(50), 8))) << "wrong length";
    Bytes otherId = padded(fireReport(50));
    otherId[0] = 0x06;
    EXPECT_FALSE(firmware.takeFeatureReport(otherId));
    firmware.setFailFeatureReports(true);
    EXPECT_FALSE(firmware.takeFeatureReport(padded(fireReport(50))));
    ASSERT_EQ(firmware.log().size(), 3u);
    EXPECT_FALSE(firmware.log()[2].accepted);
    EXPECT_NE(firmware.toJson({}).find("\"fire\":null"), std::string::npos);
}

TEST(MouseFirmwareTest, OnlyHostFunctionButtonsReport) {
    MouseFirmware firmware({8, 9});
    EXPECT_FALSE(firmware.press(3)) << "never configured";
    firmware.takeFeatureReport(padded(buttonReport(3, 3)));
    EXPECT_FALSE(firmware.press(3));
    EXPECT_TRUE(firmware.button(3).pressed);
    firmware.takeFeatureReport(padded(buttonReport(4, 31)));
    EXPECT_EQ(firmware.press(4), (Bytes{0x06, 0xF4, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(firmware.release(4), (Bytes{0x06, 0x00, 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(firmware.press(0));
    EXPECT_FALSE(firmware.press(7));
}

TEST(MouseFirmwareTest, InterfacesFollowTheLengthsAndThePlug) {
    MouseFirmware firmware({300, 400});
    const auto interfaces = firmware.interfaces();
    ASSERT_EQ(interfaces.size(), 3u);
    EXPECT_EQ(interfaces[0].caps.usagePage, 0x0001);
    EXPECT_EQ(interfaces[1].caps.usagePage, 0xFF00);
    EXPECT_EQ(interfaces[1].caps.inputReportByteLength, 300);
    EXPECT_EQ(interfaces[2].caps.usagePage, 0xFF01);
    EXPECT_EQ(interfaces[2].caps.featureReportByteLength, 400);
    for (const auto& entry : interfaces) {
        EXPECT_EQ(entry.attributes.vendorId, 0x18F8);
        EXPECT_EQ(entry.attributes.productId, 0x0F99);
        EXPECT_EQ(MouseFirmware::kindOf(entry.path).has_value(), true);
    }
    EXPECT_FALSE(firmware.inputReport(Bytes(301, 1)));
    firmware.setPlugged(false);
    EXPECT_TRUE(firmware.interfaces().empty());
}

TEST(MouseSimulatorCommandsTest, RepliesSayWhatWentWrong) {
    MouseSimulator simulator({0, 0, {}});
    EXPECT_EQ(simulator.execute("press"), "error: usage: press N");
    EXPECT_EQ(simulator.execute("press 9"), "error: button id must be 1..6");
    EXPECT_EQ(simulator.execute("PRESS 2"), "ok no report: the button does not report to the host");
    EXPECT_EQ(simulator.execute("raw 06 F1"), "error: no client has the input interface open");
    EXPECT_EQ(simulator.execute("raw 6 zz"), "error: raw takes hex bytes, such as: raw 06 F1");
    EXPECT_EQ(simulator.execute("raw 00 01 02 03 04 05 06 07 08"),
              "error: longer than the input report length");
    EXPECT_EQ(simulator.execute("fail-features maybe"), "error: usage: fail-features on|off");
    EXPECT_EQ(simulator.execute("lengths 300 400"),
              "error: unplug first: lengths belong to a device");
    EXPECT_EQ(simulator.execute("unplug"), "ok");
    EXPECT_EQ(simulator.execute("unplug"), "ok already unplugged");
    EXPECT_EQ(simulator.execute("lengths 300 400"), "ok");
    EXPECT_EQ(simulator.execute("plug"), "ok");
    EXPECT_NE(simulator.execute("dump").find("\"inputReportLength\":300"), std::string::npos);
    EXPECT_TRUE(simulator.execute("frobnicate").starts_with("error: unknown command"));
    EXPECT_FALSE(simulator.quitRequested());
    EXPECT_EQ(simulator.execute("quit"), "ok");
    EXPECT_TRUE(simulator.quitRequested());
}

}  // namespace
}  // namespace v270::mousesim
