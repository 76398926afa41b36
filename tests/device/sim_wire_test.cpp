// The simulator's HID and control ports against clients that send whatever a test gives them:
// every request gets its defined answer, and no client can crash the simulator, hang it or make
// it hold memory without bound.
#include <gtest/gtest.h>

#include "device/feature_reports.h"
#include "device_fakes.h"
#include "mouse_simulator.h"
#include "sim_clients.h"

namespace v270 {
namespace {

using mousesim::MouseFirmware;
using mousesim::MouseSimulator;
using sim::FrameType;
using sim::OpenAccess;
using sim::PayloadWriter;
using test::ControlClient;
using test::eventually;
using test::field;
using test::WireClient;

const std::u16string kOrdinaryPath = MouseFirmware::paths()[0];
const std::u16string kInputPath = MouseFirmware::paths()[1];
const std::u16string kFeaturePath = MouseFirmware::paths()[2];

std::u16string upperCase(std::u16string path) {
    for (char16_t& c : path) {
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return path;
}

std::vector<uint8_t> openRequest(uint8_t access, std::u16string_view path) {
    return test::wire(FrameType::Open, PayloadWriter().u8(access).string(path).take());
}

std::vector<uint8_t> featureRequest(uint32_t handle, std::vector<uint8_t> report) {
    return test::wire(FrameType::SetFeature, PayloadWriter().u32(handle).bytes(report).take());
}

std::vector<uint8_t> exitReport9() {
    std::vector<uint8_t> report(9, 0);
    report[0] = 0x07;
    report[1] = 0x20;
    return report;
}

std::vector<uint8_t> joined(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> bytes;
    for (const auto& part : parts)
        bytes.insert(bytes.end(), part.begin(), part.end());
    return bytes;
}

sim::Frame opened(uint32_t handle) {
    return {FrameType::Opened, PayloadWriter().u32(handle).take()};
}
sim::Frame featureResult(bool accepted) {
    return {FrameType::FeatureResult, {accepted ? uint8_t{1} : uint8_t{0}}};
}
sim::Frame interfaceList() {
    return {FrameType::InterfaceList,
            sim::encodeInterfaceList(MouseFirmware(mousesim::FirmwareOptions{}).interfaces())};
}

struct SimulatorOnPorts {
    SimulatorOnPorts() { EXPECT_TRUE(simulator.start()); }
    MouseSimulator simulator{{0, 0, {}}};
};

TEST(SimWireTest, EachRequestGetsItsDefinedAnswer) {
    struct Case {
        const char* what;
        bool greet;                       // a Hello of version 1 goes first
        std::vector<uint8_t> sent;        // the bytes that follow it
        std::vector<sim::Frame> replies;  // every frame that comes back, in order
        bool closes;                      // then the simulator ends the connection
        std::string log;                  // the dump's feature report log after it
    };
    const std::vector<uint8_t> hello = test::wire(FrameType::Hello, {0x01, 0x00});
    const sim::Frame helloReply{FrameType::HelloReply, {0x01, 0x00}};
    const std::vector<uint8_t> enumerate = test::wire(FrameType::Enumerate);
    const Case cases[] = {
        {"a Hello of another version is answered with the simulator's",
         false,
         test::wire(FrameType::Hello, {0x07, 0x00}),
         {helloReply},
         false,
         "[]"},
        {"a Hello without a version too",
         false,
         test::wire(FrameType::Hello),
         {helloReply},
         false,
         "[]"},
        {"a request before the Hello ends the connection",
         false,
         joined({enumerate, hello}),
         {},
         true,
         "[]"},
        {"a frame that is no request is ignored before the Hello",
         false,
         joined({test::wire(FrameType::HelloReply, {1, 0}), hello}),
         {helloReply},
         false,
         "[]"},
        {"paths open whatever the case of their letters",
         true,
         joined({openRequest(1, upperCase(kInputPath)), openRequest(2, upperCase(kFeaturePath))}),
         {opened(1), opened(2)},
         false,
         "[]"},
        {"the ordinary mouse collection and unknown paths do not open",
         true,
         joined({openRequest(1, kOrdinaryPath), openRequest(2, upperCase(kOrdinaryPath)),
                 openRequest(1, kInputPath + u"x"), openRequest(1, u"")}),
         {opened(0), opened(0), opened(0), opened(0)},
         false,
         "[]"},
        {"an access other than 1 or 2 does not open",
         true,
         joined({openRequest(0, kInputPath), openRequest(3, kFeaturePath),
                 openRequest(255, kFeaturePath)}),
         {opened(0), opened(0), opened(0)},
         false,
         "[]"},
        {"a short Open fails",
         true,
         joined({test::wire(FrameType::Open), test::wire(FrameType::Open, {1}),
                 test::wire(FrameType::Open, {1, 5, 0, 'a'})}),
         {opened(0), opened(0), opened(0)},
         false,
         "[]"},
        {"a SetFeature shorter than a handle is refused unlogged",
         true,
         joined({openRequest(2, kFeaturePath), test::wire(FrameType::SetFeature, {1, 0, 0})}),
         {opened(1), featureResult(false)},
         false,
         "[]"},
        {"an empty report is refused and logged",
         true,
         joined({openRequest(2, kFeaturePath), featureRequest(1, {})}),
         {opened(1), featureResult(false)},
         false,
         "[{\"bytes\":\"\",\"accepted\":false}]"},
        {"a report on a handle opened for reading is refused and logged",
         true,
         joined({openRequest(1, kFeaturePath), featureRequest(1, exitReport9())}),
         {opened(1), featureResult(false)},
         false,
         "[{\"bytes\":\"07 20 00 00 00 00 00 00 00\",\"accepted\":false}]"},
        {"a report on a closed handle is refused unlogged",
         true,
         joined({openRequest(2, kFeaturePath),
                 test::wire(FrameType::Close, PayloadWriter().u32(1).take()),
                 featureRequest(1, exitReport9())}),
         {opened(1), featureResult(false)},
         false,
         "[]"},
        {"unknown Closes, short Closes and unknown types get no reply",
         true,
         joined({test::wire(FrameType::Close, PayloadWriter().u32(99).take()),
                 test::wire(FrameType::Close, {1}), test::wire(FrameType{0x7F}, {1, 2}),
                 enumerate}),
         {interfaceList()},
         false,
         "[]"},
        {"a frame of length 0 ends the connection", true, {0, 0, 0, 0, 0x02}, {}, true, "[]"},
        {"a frame longer than any request ends the connection",
         true,
         joined({PayloadWriter().u32(65541).u8(0x04).take(), enumerate}),
         {},
         true,
         "[]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SimulatorOnPorts on;
        WireClient client(on.simulator.hidPort());
        if (c.greet) {
            ASSERT_TRUE(client.greet());
        }
        client.send(c.sent);
        for (const sim::Frame& expected : c.replies) {
            const auto reply = client.next();
            ASSERT_TRUE(reply);
            EXPECT_EQ(reply->type, expected.type);
            EXPECT_EQ(reply->payload, expected.payload);
        }
        if (c.closes) {
            EXPECT_TRUE(client.closedBySimulator());
        } else {
            client.send(enumerate);
            const auto still = client.next();
            ASSERT_TRUE(still) << "still served";
            EXPECT_EQ(still->type, FrameType::InterfaceList);
        }
        EXPECT_EQ(field(on.simulator.execute("dump"), "log"), c.log);
    }
}

TEST(SimWireTest, ClientsAreServedTogetherEachWithHandlesOfItsOwn) {
    SimulatorOnPorts on;
    WireClient first(on.simulator.hidPort());
    WireClient second(on.simulator.hidPort());
    ASSERT_TRUE(first.greet());
    ASSERT_TRUE(second.greet()) << "the second is answered while the first is connected";
    ASSERT_EQ(first.open(OpenAccess::Read, kInputPath), 1u);
    ASSERT_EQ(second.open(OpenAccess::Read, kInputPath), 2u);
    ASSERT_EQ(second.open(OpenAccess::Read, upperCase(kInputPath)), 3u);
    ASSERT_EQ(first.open(OpenAccess::Write, kFeaturePath), 4u);

    // One report reaches every read handle, each in its own frame, and is recorded once.
    EXPECT_EQ(on.simulator.execute("raw 06 F1"), "ok");
    const auto inputFor = [](uint32_t handle) {
        return sim::Frame{FrameType::InputReport,
                          PayloadWriter().u32(handle).bytes({{6, 0xF1, 0, 0, 0, 0, 0, 0}}).take()};
    };
    for (auto& [client, handle] : {std::pair{&first, 1u}, {&second, 2u}, {&second, 3u}}) {
        const auto report = client->next();
        ASSERT_TRUE(report);
        EXPECT_EQ(report->payload, inputFor(handle).payload);
    }
    EXPECT_EQ(field(on.simulator.execute("dump"), "inputReportsSent"),
              "[\"06 F1 00 00 00 00 00 00\"]");

    // The first one's handle is not the second one's to use or to close.
    second.send(test::wire(FrameType::Close, PayloadWriter().u32(4).take()));
    second.send(featureRequest(4, exitReport9()));
    EXPECT_EQ(second.next()->payload, featureResult(false).payload);
    first.send(featureRequest(4, exitReport9()));
    EXPECT_EQ(first.next()->payload, featureResult(true).payload);

    // An unplug closes each client's own handles and tells every client of the removal.
    EXPECT_EQ(on.simulator.execute("unplug"), "ok");
    for (auto& [client, handles] :
         {std::pair{&first, std::vector<uint32_t>{1, 4}}, {&second, std::vector<uint32_t>{2, 3}}}) {
        for (const uint32_t handle : handles) {
            const auto closed = client->next();
            ASSERT_TRUE(closed);
            EXPECT_EQ(closed->type, FrameType::HandleClosed);
            EXPECT_EQ(closed->payload, PayloadWriter().u32(handle).take());
        }
        for (int path = 0; path < 3; ++path)
            EXPECT_EQ(client->next()->type, FrameType::DeviceNotice);
    }

    first.disconnect();
    EXPECT_EQ(field(on.simulator.execute("dump"), "clientConnected"), "true");
    second.disconnect();
    EXPECT_TRUE(eventually(
        [&] { return field(on.simulator.execute("dump"), "clientConnected") == "false"; }));
}

TEST(SimWireTest, ClientsAndHandlesBeyondTheLimitsAreTurnedAway) {
    SimulatorOnPorts on;
    std::vector<std::unique_ptr<WireClient>> clients;
    for (size_t i = 0; i < MouseSimulator::kMaxHidClients; ++i) {
        clients.push_back(std::make_unique<WireClient>(on.simulator.hidPort()));
        ASSERT_TRUE(clients.back()->greet());
    }
    WireClient refused(on.simulator.hidPort());
    EXPECT_TRUE(refused.closedBySimulator());

    for (size_t i = 0; i < MouseSimulator::kMaxHandlesPerClient; ++i)
        ASSERT_NE(clients[0]->open(OpenAccess::Read, kInputPath), 0u);
    EXPECT_EQ(clients[0]->open(OpenAccess::Read, kInputPath), 0u);
    EXPECT_NE(clients[1]->open(OpenAccess::Read, kInputPath), 0u) << "the limit is per client";

    // Once a client has left, a new one is served.
    clients.pop_back();
    EXPECT_TRUE(eventually([&] { return WireClient(on.simulator.hidPort()).greet(); }));
}

TEST(SimWireTest, AClientThatStopsReadingIsCutOffAndHoldsUpNoOne) {
#ifdef _WIN32
    // Wine's sockets took all 256 MiB of this test without holding the sender up, so the queue
    // never fills there; the simulator the program is tested against runs natively.
    GTEST_SKIP() << "needs a socket whose buffers fill";
#endif
    SimulatorOnPorts on;
    for (const char* command : {"unplug", "lengths 65535 9", "plug"})
        ASSERT_EQ(on.simulator.execute(command), "ok");
    WireClient sleeper(on.simulator.hidPort());
    ASSERT_TRUE(sleeper.greet());
    ASSERT_NE(sleeper.open(OpenAccess::Read, kInputPath), 0u);
    // Reports of 64 KiB that it never reads: the socket's buffers fill, then the queue; then it
    // is cut off. Every command is answered all the while.
    std::string reply;
    for (int i = 0; i < 4000 && reply != "error: no client has the input interface open"; ++i)
        reply = on.simulator.execute("raw 06 F1");
    EXPECT_EQ(reply, "error: no client has the input interface open");
    EXPECT_TRUE(sleeper.closedBySimulator());
}

TEST(SimWireTest, AClientThatLeavesMidRequestLeavesNothingBehind) {
    SimulatorOnPorts on;
    {
        WireClient leaving(on.simulator.hidPort());
        ASSERT_TRUE(leaving.greet());
        ASSERT_NE(leaving.open(OpenAccess::Read, kInputPath), 0u);
        ASSERT_NE(leaving.open(OpenAccess::Write, kFeaturePath), 0u);
        const std::vector<uint8_t> request = featureRequest(2, exitReport9());
        leaving.send(std::span(request).first(request.size() - 3));
    }
    EXPECT_TRUE(eventually([&] {
        const std::string dump = on.simulator.execute("dump");
        return field(dump, "clientConnected") == "false" &&
               field(dump, "inputInterfaceOpen") == "false" &&
               field(dump, "featureInterfaceOpen") == "false";
    }));
    EXPECT_EQ(field(on.simulator.execute("dump"), "log"), "[]");
    WireClient next(on.simulator.hidPort());
    ASSERT_TRUE(next.greet());
    EXPECT_EQ(next.open(OpenAccess::Write, kFeaturePath), 3u) << "handles are never reused";
}

TEST(SimWireTest, AButtonReportThatDoesNotFitTheInputLengthSaysSo) {
    for (const int length : {0, 1, 2}) {
        SCOPED_TRACE(length);
        SimulatorOnPorts on;
        on.simulator.execute("unplug");
        on.simulator.execute("lengths " + std::to_string(length) + " 9");
        on.simulator.execute("plug");
        WireClient client(on.simulator.hidPort());
        ASSERT_TRUE(client.greet());
        const uint32_t feature = client.open(OpenAccess::Write, kFeaturePath);
        const FeatureReport report = buttonReport(6, 31);
        std::vector<uint8_t> padded(report.begin(), report.end());
        padded.resize(9);
        client.send(featureRequest(feature, padded));
        ASSERT_EQ(client.next()->payload, featureResult(true).payload);
        ASSERT_NE(client.open(OpenAccess::Read, kInputPath), 0u);
        const std::string reply =
            length < 2 ? "error: the input report length is shorter than the button's report"
                       : "ok";
        EXPECT_EQ(on.simulator.execute("press 6"), reply);
        EXPECT_NE(
            on.simulator.execute("dump").find("{\"id\":6,\"hardwareCode\":31,\"pressed\":true}"),
            std::string::npos);
        EXPECT_EQ(on.simulator.execute("click 6"), reply);
        EXPECT_NE(
            on.simulator.execute("dump").find("{\"id\":6,\"hardwareCode\":31,\"pressed\":false}"),
            std::string::npos)
            << "a click leaves the button up";
    }
}

TEST(SimControlTest, LongLinesAndSurplusConnectionsGetAnAnswer) {
    SimulatorOnPorts on;
    ControlClient control(on.simulator.controlPort());
    // The longest line is run; a longer one is answered once its end comes, and skipped.
    const size_t limit = mousesim::CommandLines::kMaxLineLength;
    control.send("dump" + std::string(limit - 4, ' ') + "\n");
    EXPECT_TRUE(control.line().value_or("").starts_with("{\"plugged\":true"));
    control.send(std::string(3 * limit, 'x') + "\nhelp\n");
    EXPECT_EQ(control.line(), "error: line longer than 65536 bytes");
    EXPECT_TRUE(control.line().value_or("").starts_with("commands:"));

    std::vector<std::unique_ptr<ControlClient>> more;
    for (size_t i = 1; i < MouseSimulator::kMaxControlClients; ++i) {
        more.push_back(std::make_unique<ControlClient>(on.simulator.controlPort()));
        ASSERT_EQ(more.back()->command("plug"), "ok already plugged");
    }
    ControlClient refused(on.simulator.controlPort());
    EXPECT_EQ(refused.line(), "error: too many control connections");
    EXPECT_EQ(refused.line(), std::nullopt) << "then closed";
}

}  // namespace
}  // namespace v270
