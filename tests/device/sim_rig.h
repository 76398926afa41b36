#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/device_link.h"
#include "device/input_reader.h"
#include "device/simulated_hid.h"
#include "device_fakes.h"
#include "event_log.h"
#include "mouse_simulator.h"
#include "platform/system_clock.h"
#include "settings/ini_files.h"
#include "support/temp_folder.h"

namespace v270::test {

// Stands in for the main window's WM_DEVICECHANGE handler: each notice goes to the device
// link's handler, and what came and what the window would have done is kept.
class RecordingNoticeSink final : public platform::DeviceNoticeSink {
  public:
    void deliver(const platform::DeviceBroadcast& broadcast) override {
        const std::lock_guard handling(handlingMutex_);
        const DeviceChangeOutcome outcome =
            link_ != nullptr ? link_->onDeviceChange(broadcast) : DeviceChangeOutcome::Nothing;
        const std::lock_guard lock(mutex_);
        received_.push_back(broadcast);
        if (outcome == DeviceChangeOutcome::MouseRemoved)
            ++removals_;
    }
    std::vector<platform::DeviceBroadcast> received() const {
        const std::lock_guard lock(mutex_);
        return received_;
    }
    int windowsDestroyed() const {
        const std::lock_guard lock(mutex_);
        return removals_;
    }

    // Notices go to `link` from now on; null waits for a notice being handled, then drops them.
    void attach(DeviceLink* link) {
        const std::lock_guard handling(handlingMutex_);
        link_ = link;
    }

  private:
    std::mutex handlingMutex_;
    DeviceLink* link_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<platform::DeviceBroadcast> received_;
    int removals_ = 0;
};

// Keeps every report the link sent, as hex.
class SentReports final : public ReportObserver {
  public:
    void featureReportSent(std::span<const uint8_t> report, bool accepted) override {
        const std::lock_guard lock(mutex_);
        sent_.push_back({hex(report), accepted});
    }
    void inputReportRead(std::span<const uint8_t>) override {}
    std::vector<std::pair<std::string, bool>> sent() const {
        const std::lock_guard lock(mutex_);
        return sent_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::pair<std::string, bool>> sent_;
};

// The program's device link and input reader on the real loopback transport, against an
// in-process simulated mouse.
class SimRig {
  public:
    explicit SimRig(mousesim::FirmwareOptions firmware = {})
        : simulator_(std::make_unique<mousesim::MouseSimulator>(
              mousesim::SimulatorOptions{0, 0, firmware})) {
        started = simulator_->start();
        hid = std::make_unique<SimulatedHidSystem>(
            SimulatorEndpoint{"127.0.0.1", simulator_->hidPort()}, sink);
        link = std::make_unique<DeviceLink>(*hid, store, banner, window, system, &reports);
        reader =
            std::make_unique<InputReader>(link->interfaces(), flags, banner, store, window, *clock);
        sink.attach(link.get());
    }
    ~SimRig() {
        readerThread = {};
        sink.attach(nullptr);
    }

    void startReader() {
        readerThread =
            std::jthread([this](std::stop_token stop) { reader->InputReaderThread(stop); });
    }
    std::string command(std::string_view line) { return simulator_->execute(line); }
    std::string dump() { return command("dump"); }
    // Ends the simulator, as when its process goes away.
    void killSimulator() { simulator_.reset(); }

    bool started = false;
    TempFolder folder;
    IniFiles files;
    ProfileStore store{files, folder / "config.ini"};
    BannerState banner;
    HandOverFlags flags;
    FakeMainWindow window;
    FakeSystemSettings system;
    SentReports reports;
    RecordingNoticeSink sink;
    std::unique_ptr<platform::Clock> clock = platform::createSystemClock();

  private:
    std::unique_ptr<mousesim::MouseSimulator> simulator_;

  public:
    std::unique_ptr<SimulatedHidSystem> hid;
    std::unique_ptr<DeviceLink> link;
    std::unique_ptr<InputReader> reader;
    std::jthread readerThread;
};

}  // namespace v270::test
