#include "device/feature_reports.h"

#include <gtest/gtest.h>

#include "device/report_channel.h"
#include "event_log.h"
#include "fake_hid.h"

namespace v270 {
namespace {

using test::Bytes;
using test::hex;

TEST(FeatureReportsTest, EachReportIsItsBytes) {
    EXPECT_EQ(hex(buttonReport(5, 5)), "07 10 05 05 00 00 00 00");
    EXPECT_EQ(hex(wheelReport(0x1234)), "07 11 34 00 00 00 00 00") << "low byte only";
    EXPECT_EQ(hex(dpiLedReport(1, 2, 0)), "07 09 01 A0 00 00 00 00");
    EXPECT_EQ(hex(dpiLedReport(3, 2, 1)), "07 09 03 A1 00 00 00 00");
    EXPECT_EQ(hex(fireReport(50)), "07 12 06 00 00 00 00 00");
    EXPECT_EQ(hex(exitReport()), "07 20 00 00 00 00 00 00");
}

TEST(FeatureReportsTest, FireIntervalIsTruncatedEighths) {
    EXPECT_EQ(fireReport(300)[2], 37);
    EXPECT_EQ(fireReport(7)[2], 0);
    EXPECT_EQ(fireReport(8)[2], 1);
}

TEST(FeatureReportsTest, DpiLedByteWrapsModulo256) {
    EXPECT_EQ(dpiLedByte(0, 0), 0x80);
    EXPECT_EQ(dpiLedByte(4, 3), 0xC3);
    EXPECT_EQ(dpiLedByte(8, 0), 0x00) << "(8 + 8) * 16 is 256";
}

TEST(FeatureReportsTest, OnlyMouseAndHostCodesAreSendable) {
    EXPECT_TRUE(isSendableHardwareCode(0));
    EXPECT_TRUE(isSendableHardwareCode(17));
    EXPECT_FALSE(isSendableHardwareCode(18));
    EXPECT_FALSE(isSendableHardwareCode(30));
    EXPECT_TRUE(isSendableHardwareCode(31));
    EXPECT_FALSE(isSendableHardwareCode(32));
}

// A channel over one fake interface whose device is `endpoint`.
struct ChannelRig {
    test::FakeHidSystem hid;
    std::shared_ptr<test::FakeEndpoint> endpoint = hid.endpoint(u"p");
    std::unique_ptr<platform::HidDevice> device() {
        return std::make_unique<test::FakeHidDevice>(endpoint,
                                                     std::make_shared<std::atomic<int>>(0));
    }
};

class RecordingObserver final : public ReportObserver {
  public:
    void featureReportSent(std::span<const uint8_t> report, bool accepted) override {
        sent.emplace_back(hex(report) + (accepted ? "" : " (refused)"));
    }
    void inputReportRead(std::span<const uint8_t> report) override { read.push_back(hex(report)); }
    std::vector<std::string> sent;
    std::vector<std::string> read;
};

TEST(FeatureChannelTest, ReportFillsTheInterfacesLengthWithZeros) {
    for (const uint16_t length : std::initializer_list<uint16_t>{9, 64, 257, 1000}) {
        ChannelRig rig;
        FeatureChannel channel(test::vendorCaps(0xFF01, 0, length), rig.device(), nullptr);
        ASSERT_TRUE(channel.usable());
        EXPECT_TRUE(channel.send(fireReport(50)));
        EXPECT_TRUE(channel.send(buttonReport(1, 2)));
        const auto reports = rig.endpoint->featureReports();
        ASSERT_EQ(reports.size(), 2u);
        Bytes expected(length, 0);
        expected[0] = 0x07;
        expected[1] = 0x10;
        expected[2] = 0x01;
        expected[3] = 0x02;
        EXPECT_EQ(reports[1], expected) << "length " << length;
    }
}

TEST(FeatureChannelTest, AShortInterfaceLosesOnlyZeroBytes) {
    ChannelRig rig;
    FeatureChannel channel(test::vendorCaps(0xFF01, 0, 4), rig.device(), nullptr);
    channel.send(dpiLedReport(1, 2, 0));
    EXPECT_EQ(hex(rig.endpoint->featureReports().at(0)), "07 09 01 A0");
}

TEST(FeatureChannelTest, LengthsItCannotServeSendNothing) {
    for (const uint16_t length : std::initializer_list<uint16_t>{0, 3, 4097, 65535}) {
        ChannelRig rig;
        FeatureChannel channel(test::vendorCaps(0xFF01, 0, length), rig.device(), nullptr);
        EXPECT_FALSE(channel.usable()) << length;
        EXPECT_FALSE(channel.send(exitReport()));
        EXPECT_TRUE(rig.endpoint->featureReports().empty());
    }
}

TEST(FeatureChannelTest, ObserverSeesEveryByteAndTheOutcome) {
    ChannelRig rig;
    RecordingObserver observer;
    FeatureChannel channel(test::vendorCaps(0xFF01, 0, 9), rig.device(), &observer);
    channel.send(exitReport());
    rig.endpoint->failSends(true);
    EXPECT_FALSE(channel.send(exitReport()));
    EXPECT_EQ(observer.sent, (std::vector<std::string>{"07 20 00 00 00 00 00 00 00",
                                                       "07 20 00 00 00 00 00 00 00 (refused)"}));
}

TEST(InputChannelTest, ReadsOnlyIntoABufferOfItsOwnLength) {
    ChannelRig rig;
    RecordingObserver observer;
    InputChannel channel(test::vendorCaps(0xFF00, 300, 0), rig.device(), &observer);
    ASSERT_TRUE(channel.usable());
    std::vector<uint8_t> wrong(256);
    EXPECT_FALSE(channel.read(wrong, {})) << "a 256-byte buffer would be overrun";
    rig.endpoint->deliver({0x06, 0xF1});
    std::vector<uint8_t> buffer(300, 0xEE);
    ASSERT_TRUE(channel.read(buffer, {}));
    EXPECT_EQ(buffer[1], 0xF1);
    EXPECT_EQ(buffer[299], 0x00);
    ASSERT_EQ(observer.read.size(), 1u);
}

TEST(InputChannelTest, LengthsItCannotServeReadNothing) {
    for (const uint16_t length : std::initializer_list<uint16_t>{0, 1, 4097}) {
        ChannelRig rig;
        InputChannel channel(test::vendorCaps(0xFF00, length, 0), rig.device(), nullptr);
        EXPECT_FALSE(channel.usable()) << length;
    }
}

}  // namespace
}  // namespace v270
