// v270-mousesim: the simulated mouse. Prints the ports it listens on, then takes commands on
// its standard input and on the control port until "quit".
#include <charconv>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "mouse_simulator.h"

namespace {

using v270::mousesim::MouseSimulator;
using v270::mousesim::SimulatorOptions;

constexpr std::string_view kUsage =
    "usage: v270-mousesim [--port N] [--control-port N] [--input-length N] "
    "[--feature-length N]\n"
    "  --port N            the HID port for the program (default 27270; 0 takes a free one)\n"
    "  --control-port N    the control port for commands (default 27271; 0 takes a free one)\n"
    "  --input-length N    InputReportByteLength of the 0xFF00 interface (default 8)\n"
    "  --feature-length N  FeatureReportByteLength of the 0xFF01 interface (default 9)\n"
    "Commands come one a line on standard input and on the control port; 'help' lists them.\n";

bool parseValue(std::string_view text, uint16_t& value) {
    unsigned number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc{} || end != text.data() + text.size() || number > 0xFFFF)
        return false;
    value = static_cast<uint16_t>(number);
    return true;
}

bool parseOptions(int argc, char** argv, SimulatorOptions& options) {
    options.hidPort = 27270;
    options.controlPort = 27271;
    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        if (i + 1 >= argc)
            return false;
        const std::string_view text = argv[++i];
        uint16_t* target = nullptr;
        if (name == "--port")
            target = &options.hidPort;
        if (name == "--control-port")
            target = &options.controlPort;
        if (name == "--input-length")
            target = &options.firmware.inputReportLength;
        if (name == "--feature-length")
            target = &options.firmware.featureReportLength;
        if (target == nullptr || !parseValue(text, *target))
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    SimulatorOptions options;
    if (!parseOptions(argc, argv, options)) {
        std::cerr << kUsage;
        return 2;
    }
    const auto simulator = std::make_shared<MouseSimulator>(options);
    if (!simulator->start()) {
        std::cerr << "v270-mousesim: cannot listen on the ports asked for\n";
        return 1;
    }
    std::cout << "hid-port " << simulator->hidPort() << "\n"
              << "control-port " << simulator->controlPort() << std::endl;

    // A read of standard input cannot be interrupted portably, so this thread is left to end
    // with the process; it keeps the simulator alive for as long as it may use it.
    // Lines are cut as on the control port, so that no line can take more than its limit.
    std::thread([simulator] {
        v270::mousesim::CommandLines lines;
        char c = 0;
        while (std::cin.get(c)) {
            const auto line = lines.take(c);
            if (const auto reply = line ? simulator->executeLine(*line) : std::nullopt)
                std::cout << *reply << std::endl;
        }
    }).detach();

    simulator->waitForQuit();
    simulator->stop();
    return 0;
}
