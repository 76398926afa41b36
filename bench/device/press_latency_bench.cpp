// Latency of a host-function press over the loopback transport: from the moment the simulated
// mouse sends its input report to the moment pressPending is seen set, with the real clock and
// the reader's real 2 ms pause.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "device/device_link.h"
#include "device/input_reader.h"
#include "device/simulated_hid.h"
#include "mouse_simulator.h"
#include "platform/system_clock.h"
#include "settings/ini_files.h"
#include "support/recording_view_port.h"
#include "support/temp_folder.h"

namespace v270 {
namespace {

using Clock = std::chrono::steady_clock;

class NoPrompt final : public StartPromptListener {
  public:
    void startPromptRaised() override {}
};

class NoSystemSettings final : public platform::SystemSettings {
  public:
    std::optional<int32_t> pointerSpeed() override { return std::nullopt; }
    void setPointerSpeed(int32_t) override {}
    std::optional<uint32_t> wheelScrollLines() override { return std::nullopt; }
    void setWheelScrollLines(uint32_t) override {}
};

class NoNotices final : public platform::DeviceNoticeSink {
  public:
    void deliver(const platform::DeviceNotice&) override {}
};

bool spinUntil(const std::atomic<int32_t>& flag, int32_t value, Clock::time_point& seen) {
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    // Yielding, so that on a machine with few cores the spin does not keep the threads it
    // waits for from running.
    while (flag.load(std::memory_order_acquire) != value) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::yield();
    }
    seen = Clock::now();
    return true;
}

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1));
    return values[index];
}

void pressToPressPending(benchmark::State& state) {
    const auto presses = static_cast<size_t>(state.range(0));
    mousesim::MouseSimulator simulator({0, 0, {}});
    if (!simulator.start()) {
        state.SkipWithError("the simulator cannot listen");
        return;
    }
    test::TempFolder folder;
    IniFiles files;
    ProfileStore store(files, folder / "config.ini");
    store.edit([](ConfigProfile& p) {
        p = builtInDefaultProfile(0);
        p.buttonFunction[0] = 31;  // slot 1, the mouse's button 1: a host function
    });
    NoNotices notices;
    SimulatedHidSystem hid({"127.0.0.1", simulator.hidPort()}, notices);
    test::RecordingViewPort window;
    NoPrompt prompt;
    NoSystemSettings system;
    BannerState banner;
    HandOverFlags flags;
    const std::unique_ptr<platform::Clock> clock = platform::createSystemClock();
    DeviceLink link(DeviceLinkServices{hid, store, banner, prompt, window, system});
    InputReader reader(
        InputReaderServices{link.interfaces(), flags, banner, store, window, *clock});
    if (link.FindMouse() != 1) {
        state.SkipWithError("the simulated mouse was not found");
        return;
    }
    link.ApplySettings();
    reader.ensureRunning();
    simulator.execute("click 1");  // the start signal
    while (banner.driverWorking.load() != 1)
        std::this_thread::yield();

    std::vector<double> micros;
    micros.reserve(presses);
    for (auto _ : state) {
        for (size_t i = 0; i < presses; ++i) {
            const Clock::time_point sent = Clock::now();
            simulator.execute("press 1");
            Clock::time_point seen;
            if (!spinUntil(flags.pressPending, 1, seen)) {
                state.SkipWithError("a press was lost");
                return;
            }
            micros.push_back(std::chrono::duration<double, std::micro>(seen - sent).count());
            flags.pressPending.store(0, std::memory_order_release);
            simulator.execute("release 1");
            // Presses of a person come far apart. The reader pauses 2 ms after each report, the
            // press's and then the release's: let both pauses end, so that each press finds it
            // waiting in its read.
            clock->sleepFor(std::chrono::microseconds(5000));
        }
    }
    state.counters["presses"] = static_cast<double>(micros.size());
    state.counters["p50_us"] = percentile(micros, 0.50);
    state.counters["p99_us"] = percentile(micros, 0.99);
    state.counters["max_us"] = percentile(micros, 1.0);
}

BENCHMARK(pressToPressPending)
    ->Arg(10000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace v270
