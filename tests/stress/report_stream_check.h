#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "device/feature_reports.h"
#include "observed_hid.h"
#include "settings/function_codes.h"
#include "tied_profile.h"

// Checks the feature reports the simulated mouse received against those the senders built.
namespace v270::test {

struct ReceivedReport {
    std::vector<uint8_t> bytes;
    bool accepted = false;
};

// The "log" of the simulator's dump: every feature report it received, in order.
inline std::vector<ReceivedReport> receivedReports(std::string_view dump) {
    std::vector<ReceivedReport> received;
    const size_t logStart = dump.find("\"log\":[");
    const size_t logEnd = dump.find("\"inputReportsSent\"");
    constexpr std::string_view kBytes = "\"bytes\":\"";
    constexpr std::string_view kAccepted = "\"accepted\":true";
    for (size_t at = dump.find(kBytes, logStart); at < logEnd; at = dump.find(kBytes, at)) {
        at += kBytes.size();
        const size_t end = dump.find('"', at);
        ReceivedReport report;
        for (size_t i = at; i + 1 < end; i += 3)
            report.bytes.push_back(
                static_cast<uint8_t>(std::stoi(std::string(dump.substr(i, 2)), nullptr, 16)));
        report.accepted = dump.compare(end + 2, kAccepted.size(), kAccepted) == 0;
        received.push_back(std::move(report));
        at = end;
    }
    return received;
}

struct StreamFigures {
    long received = 0;
    long applies = 0;
    std::map<std::thread::id, long> appliesBySender;
    long dpiLedSwitches = 0;  // the executor's DPI and LED on/off reports
    std::vector<std::string> faults;
};

// Every report received must be the report sent at the same place of the stream, whole; the
// report lock allows nothing else. Applies never overlap: an apply's nine reports come from its
// thread one after another, with only the executor's DPI and LED reports between them, and all
// nine are built from one copy of a tied profile.
inline StreamFigures checkReportStream(const std::vector<SentReport>& sent,
                                       const std::vector<ReceivedReport>& received,
                                       std::thread::id executor) {
    using namespace feature_report;
    StreamFigures figures;
    figures.received = static_cast<long>(received.size());
    const auto fault = [&](size_t index, const std::string& what) {
        if (figures.faults.size() < 20)
            figures.faults.push_back("report " + std::to_string(index) + ": " + what);
    };
    if (sent.size() != received.size())
        fault(0, std::to_string(sent.size()) + " sent, " + std::to_string(received.size()) +
                     " received");

    constexpr size_t kApplyLength = kButtonCount + 3;  // buttons, wheel, DPI and LED, fire
    struct OpenApply {
        size_t next = 0;
        uint8_t wheel = 0;
        uint8_t dpiLevel = 0;
        uint8_t dpiLed = 0;
    };
    std::map<std::thread::id, OpenApply> open;
    for (size_t i = 0; i < sent.size() && i < received.size(); ++i) {
        const std::vector<uint8_t>& bytes = sent[i].bytes;
        if (bytes != received[i].bytes || sent[i].ok != received[i].accepted)
            fault(i, "the mouse did not receive what was sent");
        if (bytes.size() < kMeaningfulLength || bytes[kReportIdOffset] != kReportId) {
            fault(i, "not a feature report");
            continue;
        }
        const uint8_t command = bytes[kCommandOffset];
        const uint8_t first = bytes[kFirstParameterOffset];
        const uint8_t second = bytes[kSecondParameterOffset];
        const auto isButton = [&](size_t slot) {
            return command == kButtonCommand && first == buttonHardwareId[slot] &&
                   second == hostFunctionCode;
        };
        const std::thread::id sender = sent[i].sender;
        auto apply = open.find(sender);
        if (apply == open.end()) {
            if (isButton(0)) {
                if (!open.empty())
                    fault(i, "an apply started while another was unfinished");
                open[sender] = OpenApply{1};
            } else if (command == kDpiLedCommand && sender == executor) {
                ++figures.dpiLedSwitches;
                if (first >= kDpiLevelCount || second >> 4 < kDpiCodeBias ||
                    (second >> 4) - kDpiCodeBias >= kDpiStepCount || (second & 0xF) > kMaxLedMode) {
                    fault(i, "a DPI and LED report out of range");
                }
            } else {
                fault(i, "a report outside any apply that is no DPI or LED function's");
            }
            continue;
        }
        OpenApply& state = apply->second;
        if (state.next < kButtonCount) {
            if (!isButton(state.next))
                fault(i, "button report " + std::to_string(state.next) + " of an apply expected");
        } else if (state.next == kButtonCount && command == kWheelCommand) {
            state.wheel = first;
        } else if (state.next == kButtonCount + 1 && command == kDpiLedCommand) {
            state.dpiLevel = first;
            state.dpiLed = second;
        } else if (state.next == kButtonCount + 2 && command == kFireCommand) {
            const uint8_t u = state.wheel;
            if (first != u || state.dpiLevel >= kDpiLevelCount ||
                state.dpiLed != tiedDpiLedByte(u)) {
                fault(i, "an apply sent reports of two different profiles");
            }
        } else {
            fault(i, "report " + std::to_string(state.next) + " of an apply expected");
        }
        if (++state.next == kApplyLength) {
            ++figures.applies;
            ++figures.appliesBySender[sender];
            open.erase(apply);
        }
    }
    if (!open.empty())
        fault(sent.size(), "an apply never finished");
    return figures;
}

}  // namespace v270::test
