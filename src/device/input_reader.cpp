#include "device/input_reader.h"

#include <chrono>
#include <memory>

#include "device/input_report.h"
#include "platform/named_event.h"

namespace v270 {

namespace {

constexpr std::chrono::milliseconds kPassPause{2};
constexpr std::u16string_view kMacroSendEndEvent = u"MacroSendEnd";

}  // namespace

void InputReader::InputReaderThread(std::stop_token stop) {
    const std::unique_ptr<platform::NamedEvent> macroSendEnd =
        platform::createAutoResetEvent(kMacroSendEndEvent);
    while (!stop.stop_requested()) {
        // Before the first search, or when the interface could not be opened, there is nothing
        // to read, and the loop idles at one pass per pause.
        if (const std::shared_ptr<InputChannel> channel = interfaces_.input();
            channel && channel->usable()) {
            // The buffer takes the interface's own length, so no report can run past it.
            inputReport_.resize(channel->reportLength());
            if (channel->read(inputReport_, stop))
                handleReport(inputReport_);
        }
        clock_.sleepFor(kPassPause);
    }
}

void InputReader::handleReport(std::span<const uint8_t> report) {
    if (report.size() < input_report::kMeaningfulLength)
        return;
    if (banner_.driverWorking.load() == 1) {
        handleKey(report[input_report::kKeyCodeOffset]);
        return;
    }
    // Until the driver has started, every report but the start signal is ignored.
    if (report[input_report::kReportIdOffset] == input_report::kStartSignalReportId &&
        report[input_report::kKeyCodeOffset] == input_report::kNoKey) {
        banner_.driverWorking.store(1);
        banner_.applyBlinkStarted.store(0);
        banner_.startKeyVisible.store(0);
        window_.invalidate();
    }
}

void InputReader::handleKey(uint8_t keyCode) {
    const int32_t macroMode2 = store_.profile().macroMode2;
    if (keyCode > input_report::kHostKeyBase) {
        if (flags_.pressPending.load(std::memory_order_acquire) == 0) {
            // The code is published before the flag that hands it over.
            flags_.pressedKeyCode.store(keyCode, std::memory_order_relaxed);
            flags_.pressPending.store(1, std::memory_order_release);
            flags_.wakeup.notify();
        } else if (macroMode2 == 0) {
            // The executor is still busy with the earlier press: a second press ends its macro.
            flags_.stopRequested.store(1, std::memory_order_release);
        }
        // In mode 1 a press while one is pending is dropped.
        return;
    }
    if (keyCode == input_report::kNoKey && macroMode2 == 1) {
        // In mode 1 the release ends the macro.
        flags_.stopRequested.store(1, std::memory_order_release);
    }
}

}  // namespace v270
