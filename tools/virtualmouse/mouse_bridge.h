#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "control_device.h"
#include "device/simulated_hid.h"
#include "platform/worker_thread.h"
#include "report_log.h"

namespace v270::virtualmouse {

// Joins the virtual mouse to a simulated mouse (`v270-mousesim`): the simulator's input reports
// become the virtual mouse's, every feature report the program sends goes to the simulator and
// its answer back to the program, and the simulator's unplug and plug remove and install the
// virtual mouse's devices, with the simulator's report lengths. A second virtual mouse can
// follow a second simulator likewise.
//
// It is driven by command lines (see run()), and runs them and the simulator's notices one at a
// time, on the thread that calls run().
class MouseBridge {
  public:
    explicit MouseBridge(std::wstring infPath);
    MouseBridge(const MouseBridge&) = delete;
    MouseBridge& operator=(const MouseBridge&) = delete;
    ~MouseBridge();

    // Queues a command line; its reply goes to `reply` on the thread of run().
    void post(std::string line);
    // No command comes after those posted: run() returns once it has run them.
    void endOfCommands();

    // Runs queued commands and notices until "quit" (or the end of the commands) has been
    // run. `reply` receives one line for each command.
    void run(const std::function<void(const std::string&)>& reply);

  private:
    class NoticeTap;
    struct Attachment;
    struct Notice {
        uint64_t generation = 0;
        platform::DeviceNotice notice;
    };
    struct EndOfCommands {};
    using Event = std::variant<std::string, Notice, EndOfCommands>;

    // One virtual mouse (its number is the index in mice_), and the simulator it follows.
    struct Mouse {
        // The lengths its installed devices have; empty while none is installed.
        std::optional<V270Lengths> installed;
        std::unique_ptr<Attachment> attachment;
    };

    void postEvent(Event event);
    std::string command(std::string_view line);
    std::string attach(uint16_t port, size_t mouse);
    // Of one mouse, or of every mouse.
    std::string detach(std::optional<size_t> mouse);
    void release(size_t mouse);
    void onNotice(const Notice& notice);

    // Makes mouse `mouse`'s devices match what its simulator lists (none: removed), then joins
    // them.
    std::string follow(size_t mouse);
    std::string install(size_t mouse, uint16_t inputLength, uint16_t featureLength);
    std::string remove(size_t mouse);
    std::string openControl();
    std::string counters() const;

    void forwardFeatures(std::stop_token stop);

    const std::wstring infPath_;
    ReportLog log_;

    std::mutex eventMutex_;
    std::condition_variable eventArrived_;
    std::deque<Event> events_;
    uint64_t generation_ = 0;

    std::optional<ControlDevice> control_;
    std::array<Mouse, V270_VMOUSE_MICE> mice_;

    // Where each mouse's feature reports go: its simulator's feature interface, or nowhere.
    std::mutex targetMutex_;
    std::array<std::shared_ptr<platform::HidDevice>, V270_VMOUSE_MICE> featureTargets_;
    std::atomic<uint64_t> unforwarded_{0};
    platform::WorkerThread featureForwarder_{
        "v270 bridge features", platform::ThreadPriority::Highest,
        [this](std::stop_token stop) { forwardFeatures(stop); }};
};

}  // namespace v270::virtualmouse
