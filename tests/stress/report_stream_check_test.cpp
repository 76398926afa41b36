// The stress test's check of the report stream finds what it is there to find.
#include <gtest/gtest.h>

#include "report_stream_check.h"

namespace v270 {
namespace {

using test::SentReport;

const std::thread::id kUi = std::this_thread::get_id();
const std::thread::id kExecutor{};

std::vector<uint8_t> padded(const FeatureReport& report) {
    std::vector<uint8_t> bytes(report.begin(), report.end());
    bytes.push_back(0);
    return bytes;
}

// The nine reports of an apply of a profile tied to `u`; `fireOf` lets the fire report come
// from another copy.
std::vector<SentReport> applyOf(std::thread::id sender, int u, int fireOf = -1) {
    std::vector<SentReport> reports;
    for (const uint8_t id : buttonHardwareId)
        reports.push_back({sender, padded(buttonReport(id, hostFunctionCode)), true});
    reports.push_back({sender, padded(wheelReport(u)), true});
    reports.push_back({sender,
                       padded(dpiLedReport(2, static_cast<uint8_t>(u % kDpiStepCount),
                                           static_cast<uint8_t>(u % kMaxLedMode))),
                       true});
    reports.push_back({sender, padded(fireReport((fireOf < 0 ? u : fireOf) * 8)), true});
    return reports;
}

std::vector<test::ReceivedReport> asReceived(const std::vector<SentReport>& sent) {
    std::vector<test::ReceivedReport> received;
    for (const SentReport& report : sent)
        received.push_back({report.bytes, report.ok});
    return received;
}

TEST(ReportStreamCheck, FindsMixedAppliesAndReportsTheMouseDidNotGet) {
    const SentReport dpiStep{kExecutor, padded(dpiLedReport(1, 3, 2)), true};
    const auto joined = [](std::vector<SentReport> a, const std::vector<SentReport>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    std::vector<SentReport> interleaved = applyOf(kUi, 5);
    interleaved.insert(interleaved.begin() + 3, dpiStep);
    interleaved = joined(interleaved, applyOf(kExecutor, 9));
    std::vector<SentReport> overlapping = applyOf(kUi, 5);
    const std::vector<SentReport> second = applyOf(kExecutor, 9);
    overlapping.insert(overlapping.begin() + 4, second.begin(), second.end());

    struct Case {
        const char* name;
        std::vector<SentReport> sent;
        std::string fault;  // empty: none
    };
    const std::vector<Case> cases = {
        {"DPI step inside an apply", interleaved, ""},
        {"apply inside an apply", overlapping, "an apply started while another was unfinished"},
        {"two copies of the profile", applyOf(kUi, 5, 6), "an apply sent reports of two"},
        {"unfinished", std::vector<SentReport>(interleaved.begin(), interleaved.end() - 1),
         "an apply never finished"},
        {"DPI report from the user interface", {{kUi, dpiStep.bytes, true}}, "outside any apply"},
    };
    for (const Case& c : cases) {
        const test::StreamFigures figures =
            test::checkReportStream(c.sent, asReceived(c.sent), kExecutor);
        if (c.fault.empty()) {
            EXPECT_TRUE(figures.faults.empty()) << c.name << ": " << figures.faults.front();
            EXPECT_EQ(figures.applies, 2) << c.name;
            EXPECT_EQ(figures.dpiLedSwitches, 1) << c.name;
        } else {
            ASSERT_FALSE(figures.faults.empty()) << c.name;
            EXPECT_NE(figures.faults.front().find(c.fault), std::string::npos)
                << c.name << ": " << figures.faults.front();
        }
    }

    std::vector<test::ReceivedReport> torn = asReceived(interleaved);
    torn[5].bytes[3] = 0x00;
    const test::StreamFigures figures = test::checkReportStream(interleaved, torn, kExecutor);
    ASSERT_EQ(figures.faults.size(), 1u);
    EXPECT_EQ(figures.faults[0], "report 5: the mouse did not receive what was sent");
}

TEST(ReportStreamCheck, ReadsTheSimulatorsLog) {
    const auto received = test::receivedReports(
        R"({"plugged":true,"log":[{"bytes":"07 10 01 1F 00","accepted":true},)"
        R"({"bytes":"07 12 06 00 00","accepted":false}],"inputReportsSent":["06 F1"]})");
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].bytes, (std::vector<uint8_t>{0x07, 0x10, 0x01, 0x1F, 0x00}));
    EXPECT_TRUE(received[0].accepted);
    EXPECT_EQ(received[1].bytes[1], 0x12);
    EXPECT_FALSE(received[1].accepted);
}

}  // namespace
}  // namespace v270
