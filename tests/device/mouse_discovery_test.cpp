#include "device/mouse_discovery.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fake_hid.h"

namespace v270 {
namespace {

using test::FakeHidSystem;
using test::featureInterface;
using test::inputInterface;
using test::ordinaryMouseInterface;
using test::otherDevice;

class MouseDiscoveryTest : public testing::Test {
  protected:
    FakeHidSystem hid;
    MouseInterfaces interfaces;
    MouseDiscovery discovery{hid, interfaces};

    std::ptrdiff_t countCalls(const std::string& prefix) const {
        const auto calls = hid.calls();
        return std::count_if(calls.begin(), calls.end(),
                             [&](const std::string& call) { return call.starts_with(prefix); });
    }
    bool called(const std::string& call) const {
        const auto calls = hid.calls();
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }
};

TEST_F(MouseDiscoveryTest, NoMouseFindsNothing) {
    for (const auto& present :
         {std::vector{otherDevice(), otherDevice(u"k2")}, std::vector<test::FakeInterface>{}}) {
        hid.interfaces = present;
        EXPECT_EQ(discovery.FindMouse(), 0);
        EXPECT_EQ(countCalls("register"), 0);
        EXPECT_TRUE(discovery.devicePath().empty());
        EXPECT_EQ(interfaces.input(), nullptr);
        EXPECT_EQ(interfaces.feature(), nullptr);
    }
}

TEST_F(MouseDiscoveryTest, OrdinaryMouseCollectionIsFoundButOpensNothing) {
    hid.interfaces = {ordinaryMouseInterface()};
    EXPECT_EQ(discovery.FindMouse(), 1);
    EXPECT_EQ(discovery.devicePath(), ordinaryMouseInterface().listing.path);
    EXPECT_EQ(countCalls("open "), 0);
    EXPECT_EQ(countCalls("register"), 1);
}

TEST_F(MouseDiscoveryTest, OpensBothVendorInterfacesAndStopsThere) {
    hid.interfaces = {otherDevice(), ordinaryMouseInterface(), inputInterface(), featureInterface(),
                      featureInterface(9, u"later")};
    EXPECT_EQ(discovery.FindMouse(), 1);
    const auto input = interfaces.input();
    const auto feature = interfaces.feature();
    ASSERT_NE(input, nullptr);
    ASSERT_NE(feature, nullptr);
    EXPECT_TRUE(input->usable());
    EXPECT_TRUE(feature->usable());
    EXPECT_EQ(input->reportLength(), 8u);
    EXPECT_EQ(feature->listing().featureReportLength, 9);
    EXPECT_TRUE(called("open " + FakeHidSystem::narrow(inputInterface().listing.path) + " read"));
    EXPECT_TRUE(
        called("open " + FakeHidSystem::narrow(featureInterface().listing.path) + " write"));
    EXPECT_FALSE(called("open later write")) << "interfaces after both are open are not examined";
    EXPECT_EQ(discovery.devicePath(), featureInterface().listing.path) << "the last one examined";
    EXPECT_EQ(countCalls("register"), 3) << "once per matching interface";
}

TEST_F(MouseDiscoveryTest, OnlyTheFirstHundredListedAreExamined) {
    hid.interfaces.assign(100, otherDevice());
    hid.interfaces.push_back(featureInterface());
    EXPECT_EQ(discovery.FindMouse(), 0);
    EXPECT_EQ(countCalls("open "), 0);
}

TEST_F(MouseDiscoveryTest, UnreadableCapabilitiesOpenNothing) {
    auto blind = inputInterface();
    blind.listing.usagePage = 0;
    blind.listing.usage = 0;
    blind.listing.inputReportLength = 0;
    hid.interfaces = {blind};
    EXPECT_EQ(discovery.FindMouse(), 1);
    EXPECT_EQ(countCalls("open "), 0);
}

TEST_F(MouseDiscoveryTest, AFailedOpenCountsAsAssignedAndLeavesNoDevice) {
    auto broken = inputInterface();
    broken.openFails = true;
    hid.interfaces = {broken, featureInterface(), inputInterface(8, u"second input")};
    EXPECT_EQ(discovery.FindMouse(), 1);
    ASSERT_NE(interfaces.input(), nullptr);
    EXPECT_FALSE(interfaces.input()->usable());
    EXPECT_EQ(interfaces.input()->reportLength(), 8u) << "its capabilities are kept";
    EXPECT_FALSE(called("open second input read"))
        << "the failed open ended the search like a good one";
}

TEST_F(MouseDiscoveryTest, ReportLengthsBeyondTheBoundAreNotOpened) {
    hid.interfaces = {inputInterface(5000), featureInterface(65535)};
    EXPECT_EQ(discovery.FindMouse(), 1);
    EXPECT_EQ(countCalls("open "), 0);
    EXPECT_FALSE(interfaces.input()->usable());
    EXPECT_FALSE(interfaces.feature()->usable());
}

TEST_F(MouseDiscoveryTest, LengthsAbove256AreServed) {
    hid.interfaces = {inputInterface(300), featureInterface(1024)};
    EXPECT_EQ(discovery.FindMouse(), 1);
    EXPECT_TRUE(interfaces.input()->usable());
    EXPECT_TRUE(interfaces.feature()->usable());
}

TEST_F(MouseDiscoveryTest, ALaterSearchReplacesAndClosesTheEarlierInterfaces) {
    hid.interfaces = {inputInterface(), featureInterface()};
    discovery.FindMouse();
    const std::weak_ptr<InputChannel> first = interfaces.input();
    const std::shared_ptr<FeatureChannel> heldFeature = interfaces.feature();
    discovery.FindMouse();
    EXPECT_TRUE(first.expired()) << "nobody held it, so it is closed";
    EXPECT_NE(interfaces.feature(), heldFeature);
    EXPECT_EQ(hid.closedDevices(), 1) << "the held one stays open while it is in use";
}

TEST_F(MouseDiscoveryTest, ALaterSearchThatFindsLessKeepsWhatItDidNotReplace) {
    hid.interfaces = {inputInterface(), featureInterface()};
    discovery.FindMouse();
    const auto feature = interfaces.feature();
    hid.interfaces = {inputInterface()};
    discovery.FindMouse();
    EXPECT_EQ(interfaces.feature(), feature);
}

test::FakeInterface ofDevice(test::FakeInterface entry, std::u16string device) {
    entry.listing.device = std::move(device);
    return entry;
}

// Two mice of this model listed A input, B input, A feature, B feature: presses and settings
// go through the first mouse complete, and only its interfaces are the mouse's.
TEST_F(MouseDiscoveryTest, TwoMiceAreNotCrossWired) {
    hid.interfaces = {ofDevice(inputInterface(8, u"a-in"), u"A"),
                      ofDevice(inputInterface(8, u"b-in"), u"B"),
                      ofDevice(featureInterface(9, u"a-feature"), u"A"),
                      ofDevice(featureInterface(9, u"b-feature"), u"B")};
    EXPECT_EQ(discovery.FindMouse(), 1);
    EXPECT_TRUE(discovery.paired());
    EXPECT_EQ(interfaces.input()->listing().path, u"a-in");
    EXPECT_EQ(interfaces.feature()->listing().path, u"a-feature");
    EXPECT_EQ(countCalls("open "), 2);
    using Kind = platform::DeviceNotice::Kind;
    EXPECT_EQ(discovery.onDeviceNotice({Kind::Removal, u"b-in"}), DeviceChangeOutcome::Nothing)
        << "the other mouse";
    EXPECT_EQ(discovery.onDeviceNotice({Kind::Removal, u"a-in"}),
              DeviceChangeOutcome::MouseRemoved);
}

TEST(SameInterfaceNameTest, IgnoresTheCaseOfAsciiLettersOnly) {
    EXPECT_TRUE(platform::sameInterfaceName(u"\\\\?\\HID#VID_18F8", u"\\\\?\\hid#vid_18f8"));
    EXPECT_FALSE(platform::sameInterfaceName(u"hid#a", u"hid#ab"));
    EXPECT_FALSE(platform::sameInterfaceName(u"\u00C4", u"\u00E4")) << "only A to Z fold";
    EXPECT_FALSE(platform::sameInterfaceName(u"[", u"{")) << "not a letter, although 0x20 apart";
}

class DeviceChangeTest : public MouseDiscoveryTest {
  protected:
    void SetUp() override {
        hid.interfaces = {inputInterface(), featureInterface()};
        ASSERT_EQ(discovery.FindMouse(), 1);
    }
    static platform::DeviceNotice removal(std::u16string path) {
        return {platform::DeviceNotice::Kind::Removal, std::move(path)};
    }
    static platform::DeviceNotice arrival(std::u16string path) {
        return {platform::DeviceNotice::Kind::Arrival, std::move(path)};
    }
    const std::u16string devicePath = featureInterface().listing.path;
};

TEST_F(DeviceChangeTest, RemovalOfDevicePathInAnyCaseEndsTheProgram) {
    std::u16string shouted = devicePath;
    std::transform(shouted.begin(), shouted.end(), shouted.begin(), [](char16_t c) {
        return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
    });
    EXPECT_EQ(discovery.onDeviceNotice(removal(shouted)), DeviceChangeOutcome::MouseRemoved);
    EXPECT_EQ(discovery.deviceFound(), 0);
}

TEST_F(DeviceChangeTest, OtherRemovalsAreIgnored) {
    EXPECT_EQ(discovery.onDeviceNotice(removal(u"\\\\?\\hid#other")), DeviceChangeOutcome::Nothing);
    EXPECT_EQ(discovery.deviceFound(), 1);
    EXPECT_TRUE(interfaces.input()->usable());
}

// The removal of either interface the program opened, or the system's request for its handle,
// closes both before the answer, even the one a blocked reader holds: a handle left open makes
// Windows refuse a safe removal or ask for a restart. A refused removal searches again.
TEST_F(DeviceChangeTest, AnyRemovalOrQueryOfTheMouseGivesBothHandlesBack) {
    using Kind = platform::DeviceNotice::Kind;
    const std::u16string inputPath = inputInterface().listing.path;
    for (const Kind kind : {Kind::Removal, Kind::QueryRemove}) {
        ASSERT_TRUE(discovery.paired());
        const int closed = hid.closedDevices();
        const std::shared_ptr<InputChannel> held = interfaces.input();
        EXPECT_EQ(discovery.onDeviceNotice({kind, inputPath}), DeviceChangeOutcome::MouseRemoved);
        EXPECT_EQ(hid.closedDevices(), closed + 2);
        EXPECT_FALSE(held->usable());
        EXPECT_EQ(interfaces.input(), nullptr);
        EXPECT_EQ(interfaces.feature(), nullptr);
        EXPECT_EQ(discovery.deviceFound(), 0);
        EXPECT_FALSE(discovery.paired());

        const std::ptrdiff_t searches = countCalls("enumerate");
        EXPECT_EQ(discovery.onDeviceNotice({Kind::RemoveCancelled, inputPath}),
                  DeviceChangeOutcome::MouseArrived);
        EXPECT_EQ(countCalls("enumerate"), searches + 1);
        EXPECT_EQ(discovery.onDeviceNotice({Kind::RemoveCancelled, inputPath}),
                  DeviceChangeOutcome::Nothing)
            << "paired again";
    }
}

// Each collection arrives on its own, and a mouse plugged into another port has other paths:
// an arrival that names the mouse's identity searches until both interfaces are open.
TEST_F(DeviceChangeTest, ArrivalSearchesAgainUntilTheMouseIsPaired) {
    const std::ptrdiff_t before = countCalls("enumerate");
    discovery.onDeviceNotice(arrival(devicePath));
    EXPECT_EQ(countCalls("enumerate"), before) << "found already";

    discovery.onDeviceNotice(removal(devicePath));
    discovery.onDeviceNotice(arrival(u"\\\\?\\hid#other"));
    EXPECT_EQ(countCalls("enumerate"), before) << "another device arrived";

    const std::u16string otherPort = u"\\\\?\\HID#VID_18F8&PID_0F99&MI_01&COL01#9&1&0";
    hid.interfaces = {inputInterface()};
    EXPECT_EQ(discovery.onDeviceNotice(arrival(otherPort)), DeviceChangeOutcome::Nothing);
    EXPECT_EQ(discovery.deviceFound(), 1);
    hid.interfaces = {inputInterface(), featureInterface()};
    EXPECT_EQ(discovery.onDeviceNotice(arrival(otherPort)), DeviceChangeOutcome::MouseArrived);
    EXPECT_EQ(countCalls("enumerate"), before + 2);
}

TEST(DeviceChangeBeforeSearchTest, NothingMatchesBeforeTheMouseWasSeen) {
    FakeHidSystem hid;
    MouseInterfaces interfaces;
    MouseDiscovery discovery{hid, interfaces};
    EXPECT_EQ(discovery.onDeviceNotice({platform::DeviceNotice::Kind::Removal, u""}),
              DeviceChangeOutcome::Nothing);
}

}  // namespace
}  // namespace v270
