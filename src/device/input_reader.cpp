#include "device/input_reader.h"

#include <chrono>
#include <memory>

#include "device/input_report.h"
#include "platform/named_event.h"

namespace v270 {

namespace {

constexpr std::chrono::milliseconds kPassPause{2};
// Failed reads are retried after 2, 4, 8 ... ms; past this pause the handle is taken for dead.
constexpr std::chrono::milliseconds kLongestFailedReadPause{1024};
constexpr std::u16string_view kMacroSendEndEvent = u"MacroSendEnd";

}  // namespace

InputReader::InputReader(const InputReaderServices& services)
    : s_(services),
      thread_("v270 reader", platform::ThreadPriority::Highest,
              [this](std::stop_token stop) { InputReaderThread(stop); }) {}

void InputReader::InputReaderThread(std::stop_token stop) {
    const std::unique_ptr<platform::NamedEvent> macroSendEnd =
        platform::createAutoResetEvent(kMacroSendEndEvent);
    std::shared_ptr<InputChannel> channel = s_.interfaces.input();
    std::chrono::milliseconds pause = kPassPause;
    while (!stop.stop_requested()) {
        // Before the first search, when the interface could not be opened, or once it is given
        // up for dead, there is nothing to read: sleep until a search publishes an interface.
        if (!channel || !channel->usable() || pause > kLongestFailedReadPause) {
            channel = s_.interfaces.waitForInputOtherThan(channel.get(), stop);
            pause = kPassPause;
            continue;
        }
        // The buffer takes the interface's own length, so no report can run past it.
        inputReport_.resize(channel->reportLength());
        const bool read = channel->read(inputReport_, stop);
        if (read)
            handleReport(inputReport_);
        s_.clock.waitFor(pause, stop);
        // A handle that fails every read (its device gone with no notice yet) is retried ever
        // more slowly, then left until a search publishes another interface.
        pause = read ? kPassPause : pause * 2;
        // A later search may have replaced the interface.
        std::shared_ptr<InputChannel> latest = s_.interfaces.input();
        if (latest != channel) {
            channel = std::move(latest);
            pause = kPassPause;
        }
    }
}

void InputReader::handleReport(std::span<const uint8_t> report) {
    if (report.size() < input_report::kMeaningfulLength)
        return;
    if (s_.banner.driverWorking.load() == 1) {
        handleKey(report[input_report::kKeyCodeOffset]);
        return;
    }
    // Until the driver has started, every report but the start signal is ignored.
    if (report[input_report::kReportIdOffset] == input_report::kStartSignalReportId &&
        report[input_report::kKeyCodeOffset] == input_report::kNoKey) {
        s_.banner.driverWorking.store(1);
        s_.banner.applyBlinkStarted.store(0);
        s_.banner.startKeyVisible.store(0);
        s_.view.invalidate();
    }
}

void InputReader::handleKey(uint8_t keyCode) {
    HandOverFlags& flags = s_.flags;
    const int32_t macroMode2 = s_.profiles.profile().macroMode2;
    if (keyCode > input_report::kHostKeyBase) {
        if (flags.pressPending.load(std::memory_order_acquire) == 0) {
            // The code is published before the flag that hands it over.
            flags.pressedKeyCode.store(keyCode, std::memory_order_relaxed);
            flags.pressPending.store(1, std::memory_order_release);
            flags.wakeup.notify();
        } else if (macroMode2 == 0) {
            // The executor is still busy with the earlier press: a second press ends its macro.
            requestStop();
        }
        // In mode 1 a press while one is pending is dropped.
        return;
    }
    if (keyCode == input_report::kNoKey && macroMode2 == 1) {
        // In mode 1 the release ends the macro.
        requestStop();
    }
}

void InputReader::requestStop() {
    s_.flags.stopRequested.store(1, std::memory_order_release);
    // A request with no press pending is cleared by the executor's next pass; the executor
    // sleeps between presses, so it is woken for that pass.
    s_.flags.wakeup.notify();
}

}  // namespace v270
