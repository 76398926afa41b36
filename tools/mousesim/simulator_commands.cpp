// The command language of the simulated mouse, on standard input and on the control port.
#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <stop_token>

#include "mouse_simulator.h"

namespace v270::mousesim {

namespace {

constexpr std::chrono::milliseconds kPoll{100};
// An unknown command is quoted back this far, in printable ASCII only.
constexpr size_t kQuotedCommandLength = 40;

constexpr std::string_view kHelp =
    "commands: press N | release N | click N (N = hardware button id 1..6) | unplug | plug | "
    "raw HEX... | fail-features on|off | lengths INPUT FEATURE | clear-log | dump | help | quit";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Words are separated by spaces and tabs; any other character belongs to a word.
std::vector<std::string> words(std::string_view line) {
    std::vector<std::string> result;
    size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && isBlank(line[at]))
            ++at;
        const size_t start = at;
        while (at < line.size() && !isBlank(line[at]))
            ++at;
        if (at > start)
            result.emplace_back(line.substr(start, at - start));
    }
    return result;
}

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}

// Digits only, in `base`: no sign, no prefix, no blank. A number too large for `unsigned` is
// still a number, the largest, so that "press 99999999999" is a button id out of range.
std::optional<unsigned> parseNumber(std::string_view text, int base = 10) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || text[0] == '-' || end != text.data() + text.size())
        return std::nullopt;
    if (error == std::errc::result_out_of_range)
        return std::numeric_limits<unsigned>::max();
    if (error != std::errc{})
        return std::nullopt;
    return value;
}

// A word of the client's, safe to put in a reply line.
std::string quoted(std::string_view word) {
    std::string text;
    for (const char c : word.substr(0, kQuotedCommandLength))
        text += c >= 0x20 && c < 0x7F ? c : '?';
    if (word.size() > kQuotedCommandLength)
        text += "...";
    return text;
}

}  // namespace

std::optional<std::string> MouseSimulator::executeLine(const CommandLine& line) {
    if (line.tooLong) {
        return "error: line longer than " + std::to_string(CommandLines::kMaxLineLength) + " bytes";
    }
    if (std::all_of(line.text.begin(), line.text.end(), isBlank))
        return std::nullopt;
    return execute(line.text);
}

std::string MouseSimulator::execute(std::string_view command) {
    const std::vector<std::string> args = words(command);
    if (args.empty())
        return "error: empty command";
    const std::lock_guard lock(mutex_);
    return executeLocked(args);
}

std::string MouseSimulator::executeLocked(const std::vector<std::string>& args) {
    const std::string command = lowerCase(args[0]);
    const auto number = [&](size_t index) -> std::optional<unsigned> {
        return index < args.size() ? parseNumber(args[index]) : std::nullopt;
    };
    // The commands without arguments take none.
    if (command == "unplug" || command == "plug" || command == "clear-log" || command == "dump" ||
        command == "help" || command == "quit") {
        if (args.size() != 1)
            return "error: usage: " + command;
    }

    if (command == "press" || command == "release" || command == "click") {
        const auto id = number(1);
        if (!id || args.size() != 2)
            return "error: usage: " + command + " N";
        const int buttonId = static_cast<int>(std::min(*id, 1000u));
        if (command == "click") {
            // A click leaves the button up even when its press reached no one.
            const std::string pressed = pressLocked(buttonId, true);
            const std::string released = pressLocked(buttonId, false);
            return pressed.starts_with("error") ? pressed : released;
        }
        return pressLocked(buttonId, command == "press");
    }
    if (command == "unplug")
        return unplugLocked();
    if (command == "plug")
        return plugLocked();
    if (command == "raw") {
        if (args.size() < 2)
            return "error: usage: raw HEX...";
        Bytes bytes;
        for (size_t i = 1; i < args.size(); ++i) {
            const auto byte = args[i].size() <= 2 ? parseNumber(args[i], 16) : std::nullopt;
            if (!byte)
                return "error: raw takes hex bytes, such as: raw 06 F1";
            bytes.push_back(static_cast<uint8_t>(*byte));
        }
        return sendInputLocked(bytes, "error: longer than the input report length");
    }
    if (command == "fail-features") {
        const std::string setting = args.size() == 2 ? lowerCase(args[1]) : "";
        if (setting != "on" && setting != "off")
            return "error: usage: fail-features on|off";
        firmware_.setFailFeatureReports(setting == "on");
        return "ok";
    }
    if (command == "lengths") {
        const auto input = number(1);
        const auto feature = number(2);
        if (!input || !feature || args.size() != 3 || *input > 0xFFFF || *feature > 0xFFFF)
            return "error: usage: lengths INPUT FEATURE (0..65535)";
        if (firmware_.plugged())
            return "error: unplug first: lengths belong to a device";
        firmware_.setOptions({static_cast<uint16_t>(*input), static_cast<uint16_t>(*feature)});
        return "ok";
    }
    if (command == "clear-log") {
        firmware_.clearLog();
        return "ok";
    }
    if (command == "dump")
        return firmware_.toJson(clientStatusLocked());
    if (command == "help")
        return std::string(kHelp);
    if (command == "quit") {
        quit_ = true;
        quitCondition_.notify_all();
        return "ok";
    }
    return "error: unknown command '" + quoted(args[0]) + "'; " + std::string(kHelp);
}

// The button's state changes first; then its report, if it has one, goes out or says why not.
std::string MouseSimulator::pressLocked(int buttonId, bool press) {
    if (buttonId < 1 || buttonId > kButtonCount)
        return "error: button id must be 1..6";
    const std::optional<ButtonReport> report =
        press ? firmware_.press(buttonId) : firmware_.release(buttonId);
    if (!report)
        return "ok no report: the button does not report to the host";
    return sendInputLocked(*report,
                           "error: the input report length is shorter than the button's report");
}

std::string MouseSimulator::sendInputLocked(std::span<const uint8_t> start,
                                            std::string_view tooLong) {
    const std::optional<Bytes> report = firmware_.inputReport(start);
    if (!report)
        return std::string(tooLong);
    if (!firmware_.plugged())
        return "error: the mouse is unplugged";
    if (!deliverInputLocked(*report))
        return "error: no client has the input interface open";
    return "ok";
}

// A client beyond the limit is told so and closed.
void MouseSimulator::acceptControl(std::stop_token stop) {
    static constexpr std::string_view kBusy = "error: too many control connections\n";
    while (!stop.stop_requested()) {
        std::shared_ptr<platform::TcpStream> stream = controlListener_->accept(kPoll);
        if (!stream)
            continue;
        const bool served = controlClients_.start(
            [this, stream](std::stop_token clientStop) { serveControl(*stream, clientStop); });
        if (!served)
            stream->sendAll(
                std::span(reinterpret_cast<const uint8_t*>(kBusy.data()), kBusy.size()));
    }
}

void MouseSimulator::serveControl(platform::TcpStream& stream, std::stop_token stop) {
    // The shutdown ends a send that a client which does not read has left blocked.
    const std::stop_callback shutdownOnStop(stop, [&stream] { stream.shutdown(); });
    CommandLines lines;
    std::array<uint8_t, 4096> chunk{};
    while (!stop.stop_requested()) {
        const platform::Received got = stream.receiveSome(chunk, kPoll);
        if (got.status == platform::ReceiveStatus::Timeout)
            continue;
        if (got.status == platform::ReceiveStatus::Closed)
            return;
        for (const uint8_t byte : std::span(chunk).first(got.count)) {
            const std::optional<CommandLine> line = lines.take(static_cast<char>(byte));
            const std::optional<std::string> reply = line ? executeLine(*line) : std::nullopt;
            if (!reply)
                continue;
            const std::string text = *reply + "\n";
            if (!stream.sendAll(
                    std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()))) {
                return;
            }
        }
    }
}

}  // namespace v270::mousesim
