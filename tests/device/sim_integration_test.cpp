// The device link over the real loopback transport against the simulated mouse.
#include <gtest/gtest.h>

#include "sim_clients.h"
#include "sim_rig.h"

namespace v270 {
namespace {

using test::eventually;
using test::field;
using test::SimRig;

std::string expectedLog(const std::vector<std::pair<std::string, bool>>& sent) {
    std::string log = "[";
    for (const auto& [bytes, accepted] : sent) {
        if (log.size() > 1)
            log += ",";
        log += "{\"bytes\":\"" + bytes + "\",\"accepted\":" + (accepted ? "true" : "false") + "}";
    }
    return log + "]";
}

TEST(SimIntegrationTest, AnAppliedProfileIsWhatTheMouseHolds) {
    SimRig rig;
    ASSERT_TRUE(rig.started);
    ASSERT_EQ(rig.link->FindMouse(), 1);
    rig.store.edit([](ConfigProfile& p) {
        p = builtInDefaultProfile(0);
        p.buttonFunction = {1, 2, 11, 5, 4, 6};
        p.wheelStatus = 2;
        p.dpiLevel = 1;
        p.ledStatus = 1;
        p.fireTime = 300;
    });
    rig.link->ApplySettings();

    const std::string dump = rig.dump();
    const auto sent = rig.reports->sent();
    ASSERT_EQ(sent.size(), 9u);
    EXPECT_EQ(field(dump, "log"), expectedLog(sent)) << "exactly the reports sent, in order";
    EXPECT_EQ(sent[7].first, "07 09 01 A1 00 00 00 00 00");
    EXPECT_EQ(field(dump, "buttons"),
              "[{\"id\":1,\"hardwareCode\":1,\"pressed\":false},"
              "{\"id\":2,\"hardwareCode\":2,\"pressed\":false},"
              "{\"id\":3,\"hardwareCode\":7,\"pressed\":false},"
              "{\"id\":4,\"hardwareCode\":4,\"pressed\":false},"
              "{\"id\":5,\"hardwareCode\":5,\"pressed\":false},"
              "{\"id\":6,\"hardwareCode\":31,\"pressed\":false}]");
    EXPECT_EQ(field(dump, "wheel"), "2");
    EXPECT_EQ(field(dump, "dpiLevel"), "1");
    EXPECT_EQ(field(dump, "dpiCode"), "2");
    EXPECT_EQ(field(dump, "ledMode"), "1");
    EXPECT_EQ(field(dump, "fire"), "37");
    EXPECT_EQ(field(dump, "exitReportSeen"), "false");
    EXPECT_EQ(field(dump, "clientConnected"), "true");
    EXPECT_EQ(field(dump, "inputInterfaceOpen"), "true");
    EXPECT_EQ(field(dump, "featureInterfaceOpen"), "true");

    rig.link->sendExitReport();
    EXPECT_EQ(field(rig.dump(), "exitReportSeen"), "true");
}

TEST(SimIntegrationTest, HostFunctionButtonDrivesTheFlags) {
    SimRig rig;
    ASSERT_EQ(rig.link->FindMouse(), 1);
    rig.store.edit([](ConfigProfile& p) {
        p = builtInDefaultProfile(0);
        p.buttonFunction[3] = 31;  // slot 4, the mouse's button 5: Ctrl+C
    });
    rig.link->ApplySettings();
    ASSERT_EQ(rig.banner.driverWorking.load(), 0);
    ASSERT_EQ(rig.banner.startKeyNumber.load(), 4);
    rig.startReader();

    // The first click of the key: its press is ignored, its release is the start signal.
    EXPECT_EQ(rig.command("click 5"), "ok");
    ASSERT_TRUE(eventually([&] { return rig.banner.driverWorking.load() == 1; }));
    EXPECT_EQ(rig.banner.applyBlinkStarted.load(), 0);
    EXPECT_EQ(rig.flags.pressPending.load(), 0);

    EXPECT_EQ(rig.command("press 5"), "ok");
    ASSERT_TRUE(eventually([&] { return rig.flags.pressPending.load() == 1; }));
    EXPECT_EQ(rig.flags.pressedKeyCode.load(), 0xF5);

    // Mode 0: the release changes nothing; a second press while busy asks for a stop.
    EXPECT_EQ(rig.command("release 5"), "ok");
    EXPECT_EQ(rig.command("press 5"), "ok");
    ASSERT_TRUE(eventually([&] { return rig.flags.stopRequested.load() == 1; }));

    // Mode 1: the release asks for the stop.
    rig.flags.stopRequested = 0;
    rig.flags.pressPending = 0;
    rig.store.edit([](ConfigProfile& p) { p.macroMode2 = 1; });
    EXPECT_EQ(rig.command("release 5"), "ok");
    ASSERT_TRUE(eventually([&] { return rig.flags.stopRequested.load() == 1; }));
    EXPECT_EQ(rig.flags.pressPending.load(), 0);

    EXPECT_EQ(rig.command("press 1"), "ok no report: the button does not report to the host");
}

TEST(SimIntegrationTest, UnplugArrivesAsTheRemovalNoticeAndPlugSearchesAgain) {
    SimRig rig;
    ASSERT_EQ(rig.link->FindMouse(), 1);
    rig.startReader();
    const auto before = rig.link->interfaces().feature();
    EXPECT_EQ(rig.command("unplug"), "ok");
    ASSERT_TRUE(eventually([&] { return rig.sink.received().size() == 3; }));
    for (const auto& notice : rig.sink.received())
        EXPECT_EQ(notice.kind, platform::DeviceNotice::Kind::Removal);
    EXPECT_EQ(rig.sink.windowsDestroyed(), 2) << "the notices of the two interfaces it opened";
    EXPECT_EQ(rig.link->deviceFound(), 0);
    rig.link->sendExitReport();  // the handle is gone: nothing arrives
    EXPECT_EQ(field(rig.dump(), "exitReportSeen"), "false");

    EXPECT_EQ(rig.command("plug"), "ok");
    ASSERT_TRUE(eventually([&] {
        const auto feature = rig.link->interfaces().feature();
        return feature != nullptr && feature != before && feature->usable();
    }));
    EXPECT_EQ(rig.link->deviceFound(), 1);
    rig.link->sendExitReport();
    EXPECT_EQ(field(rig.dump(), "exitReportSeen"), "true") << "the new handles work";
}

TEST(SimIntegrationTest, ReportLengthsAbove256AreHonoured) {
    SimRig rig({300, 400});
    ASSERT_EQ(rig.link->FindMouse(), 1);
    rig.store.edit([](ConfigProfile& p) { p = builtInDefaultProfile(0); });
    rig.link->ApplySettings();
    const auto sent = rig.reports->sent();
    ASSERT_EQ(sent.size(), 9u);
    for (const auto& [bytes, accepted] : sent) {
        EXPECT_EQ(bytes.size(), 400u * 3 - 1);
        EXPECT_TRUE(accepted);
    }
    rig.startReader();
    rig.command("click 6");
    ASSERT_TRUE(eventually([&] { return rig.banner.driverWorking.load() == 1; }));
    rig.command("press 6");
    ASSERT_TRUE(eventually([&] { return rig.flags.pressPending.load() == 1; }));
    EXPECT_EQ(rig.flags.pressedKeyCode.load(), 0xF6);
}

TEST(SimIntegrationTest, LengthsBeyondTheBoundLeaveTheInterfacesClosed) {
    SimRig rig({5000, 5000});
    ASSERT_EQ(rig.link->FindMouse(), 1);
    rig.link->ApplySettings();
    EXPECT_TRUE(rig.reports->sent().empty());
    EXPECT_EQ(field(rig.dump(), "featureInterfaceOpen"), "false");
}

TEST(SimIntegrationTest, APathInAnyCaseOpensAndSendsAtItsListedLength) {
    SimRig rig;
    const auto listed = rig.hid->enumerate();
    ASSERT_EQ(listed.size(), 3u);
    std::u16string shouted = listed[2].path;
    for (char16_t& c : shouted)
        c = c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
    const auto device = rig.hid->open(shouted, platform::HidAccess::Write);
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(device->sendFeatureReport(exitReport()).ok) << "padded to the 9 bytes listed";
    EXPECT_EQ(field(rig.dump(), "exitReportSeen"), "true");
}

TEST(SimIntegrationTest, RefusedReportsAreLoggedAndChangeNothing) {
    SimRig rig;
    ASSERT_EQ(rig.link->FindMouse(), 1);
    EXPECT_EQ(rig.command("fail-features on"), "ok");
    rig.link->ApplySettings();
    const std::string dump = rig.dump();
    const auto sent = rig.reports->sent();
    ASSERT_EQ(sent.size(), 9u);
    EXPECT_FALSE(sent[0].second);
    EXPECT_EQ(field(dump, "log"), expectedLog(sent));
    EXPECT_EQ(field(dump, "fire"), "null");
}

TEST(SimIntegrationTest, LosingTheSimulatorRemovesTheMouse) {
    SimRig rig;
    ASSERT_EQ(rig.link->FindMouse(), 1);
    rig.startReader();
    rig.killSimulator();
    // Each interface it listed is removed; any of those the link opened removes the mouse.
    ASSERT_TRUE(eventually([&] { return rig.sink.windowsDestroyed() >= 1; }));
    EXPECT_EQ(rig.link->FindMouse(), 0) << "nobody to connect to";
}

TEST(SimIntegrationTest, NoSimulatorMeansNoMouse) {
    test::RecordingNoticeSink sink;
    SimulatedHidSystem hid(SimulatorEndpoint{"127.0.0.1", 1}, sink);
    MouseInterfaces interfaces;
    MouseDiscovery discovery(hid, interfaces);
    EXPECT_EQ(discovery.FindMouse(), 0);
}

}  // namespace
}  // namespace v270
