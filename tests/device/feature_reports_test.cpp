#include "device/feature_reports.h"

#include <gtest/gtest.h>

#include "device/report_channel.h"
#include "fake_hid.h"
#include "support/event_log.h"

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
    std::unique_ptr<platform::HidDevice> device(size_t featureLength = 0) {
        return std::make_unique<test::FakeHidDevice>(
            endpoint, std::make_shared<std::atomic<int>>(0), featureLength);
    }
};

platform::HidInterface vendorCollection(uint16_t usagePage, uint16_t inputLength,
                                        uint16_t featureLength) {
    return test::mouseCollection(u"p", usagePage, 1, inputLength, featureLength).listing;
}

TEST(ReportOfLengthTest, BackendsPadToTheInterfacesLengthOrCutToIt) {
    const FeatureReport report = buttonReport(1, 2);
    for (const size_t length : std::initializer_list<size_t>{9, 64, 257, 1000}) {
        Bytes expected(length, 0);
        std::copy(report.begin(), report.begin() + 4, expected.begin());
        EXPECT_EQ(platform::reportOfLength(report, length), expected) << "length " << length;
    }
    EXPECT_EQ(hex(platform::reportOfLength(dpiLedReport(1, 2, 0), 4)), "07 09 01 A0")
        << "a short interface loses only zero bytes";
    EXPECT_EQ(platform::reportOfLength(report, 0).size(), report.size()) << "length unknown";
}

TEST(FeatureChannelTest, LengthsItCannotServeSendNothing) {
    for (const uint16_t length : std::initializer_list<uint16_t>{0, 3, 4097, 65535}) {
        ChannelRig rig;
        FeatureChannel channel(vendorCollection(0xFF01, 0, length), rig.device(length));
        EXPECT_FALSE(channel.usable()) << length;
        EXPECT_FALSE(channel.send(exitReport()).ok);
        EXPECT_TRUE(rig.endpoint->featureReports().empty());
    }
}

TEST(FeatureChannelTest, AFailureCarriesTheSystemsWords) {
    ChannelRig rig;
    FeatureChannel channel(vendorCollection(0xFF01, 0, 9), rig.device(9));
    EXPECT_TRUE(channel.send(exitReport()).ok);
    rig.endpoint->failSends(true);
    const platform::HidResult refused = channel.send(exitReport());
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.error, "HidD_SetFeature: (0x0000001F) refused");
    EXPECT_EQ(hex(rig.endpoint->featureReports().at(1)), "07 20 00 00 00 00 00 00 00");
}

TEST(InputChannelTest, ReadsOnlyIntoABufferOfItsOwnLength) {
    ChannelRig rig;
    InputChannel channel(vendorCollection(0xFF00, 300, 0), rig.device());
    ASSERT_TRUE(channel.usable());
    std::vector<uint8_t> wrong(256);
    EXPECT_FALSE(channel.read(wrong, {})) << "a 256-byte buffer would be overrun";
    rig.endpoint->deliver({0x06, 0xF1});
    std::vector<uint8_t> buffer(300, 0xEE);
    ASSERT_TRUE(channel.read(buffer, {}));
    EXPECT_EQ(buffer[1], 0xF1);
    EXPECT_EQ(buffer[299], 0x00);
}

TEST(InputChannelTest, LengthsItCannotServeReadNothing) {
    for (const uint16_t length : std::initializer_list<uint16_t>{0, 1, 4097}) {
        ChannelRig rig;
        InputChannel channel(vendorCollection(0xFF00, length, 0), rig.device());
        EXPECT_FALSE(channel.usable()) << length;
    }
}

}  // namespace
}  // namespace v270
