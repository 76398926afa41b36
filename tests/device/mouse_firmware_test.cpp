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
    EXPECT_EQ(firmware.log().entries().size(), 6u);
}

TEST(MouseFirmwareTest, TheDpiCodeIsTheHighNibbleLessEightNegativeBelow0x80) {
    struct Case {
        uint8_t byte;
        std::string expected;
    };
    for (const Case& c :
         {Case{0xA3, "\"dpiCode\":2,\"ledMode\":3"}, Case{0x12, "\"dpiCode\":-7,\"ledMode\":2"},
          Case{0x00, "\"dpiCode\":-8,\"ledMode\":0"}, Case{0xFF, "\"dpiCode\":7,\"ledMode\":15"}}) {
        MouseFirmware firmware({8, 9});
        ASSERT_TRUE(firmware.takeFeatureReport(padded({0x07, 0x09, 0x01, c.byte})));
        EXPECT_NE(firmware.toJson({}).find(c.expected), std::string::npos) << int{c.byte};
    }
}

TEST(MouseFirmwareTest, LogsKeepTheNewestWithinTheirBounds) {
    MouseFirmware firmware({8, 9});
    for (int i = 0; i < 1030; ++i)
        firmware.takeFeatureReport(padded(fireReport(i)));
    EXPECT_EQ(firmware.log().entries().size(), 1024u);
    EXPECT_EQ(firmware.log().entries().front().bytes, padded(fireReport(6)));
    EXPECT_NE(firmware.toJson({}).find("],\"logDropped\":6,"), std::string::npos);

    MouseFirmware wide({8, 65535});
    for (int i = 0; i < 20; ++i)
        wide.takeFeatureReport(Bytes(65535, static_cast<uint8_t>(i)));
    EXPECT_EQ(wide.log().entries().size(), 16u) << "1 MiB of reports";
    EXPECT_EQ(wide.log().entries().back().bytes[0], 19);
    wide.clearLog();
    EXPECT_NE(wide.toJson({}).find("\"log\":[],\"logDropped\":0,"), std::string::npos);
}

TEST(MouseFirmwareTest, RefusedReportsAreLoggedAndChangeNothing) {
    MouseFirmware firmware({8, 9});
    EXPECT_FALSE(firmware.takeFeatureReport(padded(fireReport(50), 8))) << "wrong length";
    Bytes otherId = padded(fireReport(50));
    otherId[0] = 0x06;
    EXPECT_FALSE(firmware.takeFeatureReport(otherId));
    firmware.setFailFeatureReports(true);
    EXPECT_FALSE(firmware.takeFeatureReport(padded(fireReport(50))));
    ASSERT_EQ(firmware.log().entries().size(), 3u);
    EXPECT_FALSE(firmware.log().entries()[2].accepted);
    EXPECT_NE(firmware.toJson({}).find("\"fire\":null"), std::string::npos);
}

TEST(MouseFirmwareTest, OnlyHostFunctionButtonsReport) {
    MouseFirmware firmware({8, 9});
    EXPECT_FALSE(firmware.press(3)) << "never configured";
    firmware.takeFeatureReport(padded(buttonReport(3, 3)));
    EXPECT_FALSE(firmware.press(3));
    EXPECT_TRUE(firmware.button(3).pressed);
    firmware.takeFeatureReport(padded(buttonReport(4, 31)));
    EXPECT_EQ(firmware.press(4), (ButtonReport{0x06, 0xF4}));
    EXPECT_EQ(firmware.release(4), (ButtonReport{0x06, 0x00}));
    EXPECT_EQ(firmware.inputReport(ButtonReport{0x06, 0xF4}),
              (Bytes{0x06, 0xF4, 0, 0, 0, 0, 0, 0}));
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

// One simulator, commands in order: each reply, and what the command left behind.
TEST(MouseSimulatorCommandsTest, RepliesSayWhatWentWrong) {
    static const std::string kHelp =
        "commands: press N | release N | click N (N = hardware button id 1..6) | unplug | plug | "
        "raw HEX... | fail-features on|off | lengths INPUT FEATURE | clear-log | dump | help | "
        "quit";
    const std::pair<std::string, std::string> script[] = {
        {"press", "error: usage: press N"},
        {"press 9", "error: button id must be 1..6"},
        {"press 99999999999", "error: button id must be 1..6"},
        {"press -1", "error: usage: press N"},
        {"press +2", "error: usage: press N"},
        {"PRESS 02", "ok no report: the button does not report to the host"},
        {"press 2 2", "error: usage: press N"},
        {"raw", "error: usage: raw HEX..."},
        {"raw 06 F1", "error: no client has the input interface open"},
        {"raw 6 zz", "error: raw takes hex bytes, such as: raw 06 F1"},
        {"raw 006", "error: raw takes hex bytes, such as: raw 06 F1"},
        {"raw 00 01 02 03 04 05 06 07 08", "error: longer than the input report length"},
        {"fail-features maybe", "error: usage: fail-features on|off"},
        {"fail-features", "error: usage: fail-features on|off"},
        {"Fail-Features ON", "ok"},
        {"lengths 300 400", "error: unplug first: lengths belong to a device"},
        {"unplug now", "error: usage: unplug"},
        {"\tunplug ", "ok"},
        {"unplug", "ok already unplugged"},
        {"raw 06", "error: the mouse is unplugged"},
        {"lengths 300", "error: usage: lengths INPUT FEATURE (0..65535)"},
        {"lengths 300 65536", "error: usage: lengths INPUT FEATURE (0..65535)"},
        {"lengths 300 99999999999", "error: usage: lengths INPUT FEATURE (0..65535)"},
        {"lengths 300 400", "ok"},
        {"plug in", "error: usage: plug"},
        {"plug", "ok"},
        {"plug", "ok already plugged"},
        {"clear-log all", "error: usage: clear-log"},
        {"clear-log", "ok"},
        {"dump -v", "error: usage: dump"},
        {"help me", "error: usage: help"},
        {"help", kHelp},
        {"quit now", "error: usage: quit"},
        {"dump\rx", "error: unknown command 'dump?x'; " + kHelp},
        {std::string(50, 'z'),
         "error: unknown command '" + std::string(40, 'z') + "...'; " + kHelp},
    };
    MouseSimulator simulator({0, 0, {}});
    for (const auto& [command, reply] : script)
        EXPECT_EQ(simulator.execute(command), reply) << command;
    const std::string dump = simulator.execute("dump");
    EXPECT_NE(dump.find("\"inputReportLength\":300"), std::string::npos);
    EXPECT_NE(dump.find("\"failFeatureReports\":true"), std::string::npos);
    EXPECT_NE(dump.find("{\"id\":2,\"hardwareCode\":null,\"pressed\":true}"), std::string::npos);
    EXPECT_FALSE(simulator.quitRequested());
    EXPECT_EQ(simulator.execute("QUIT"), "ok");
    EXPECT_TRUE(simulator.quitRequested());
}

TEST(MouseSimulatorCommandsTest, LinesAreCutAtTheirLimitWhateverComes) {
    CommandLines lines;
    const auto feed = [&](std::string_view text) {
        std::vector<CommandLine> taken;
        for (const char c : text) {
            if (auto line = lines.take(c))
                taken.push_back(std::move(*line));
        }
        return taken;
    };
    const std::string longest(CommandLines::kMaxLineLength, 'x');
    const auto taken = feed(longest + "\r\n" + longest + "x\n" + longest + "xx\r\nhelp\r\n");
    ASSERT_EQ(taken.size(), 4u);
    EXPECT_EQ(taken[0].text, longest);
    EXPECT_FALSE(taken[0].tooLong);
    EXPECT_TRUE(taken[1].tooLong);
    EXPECT_TRUE(taken[1].text.empty());
    EXPECT_TRUE(taken[2].tooLong);
    EXPECT_EQ(taken[3].text, "help");
    EXPECT_FALSE(taken[3].tooLong);

    MouseSimulator simulator({0, 0, {}});
    EXPECT_EQ(simulator.executeLine(taken[1]), "error: line longer than 65536 bytes");
    EXPECT_EQ(simulator.executeLine({" \t", false}), std::nullopt) << "blank: no reply";
    EXPECT_EQ(simulator.executeLine({"\f", false}),
              "error: unknown command '?'; " + simulator.execute("help"));
}

}  // namespace
}  // namespace v270::mousesim
