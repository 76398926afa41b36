#include "mouse_simulator.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <sstream>
#include <vector>

namespace v270::mousesim {

namespace {

using namespace std::chrono_literals;

constexpr std::chrono::milliseconds kPoll{100};
constexpr size_t kMaxCommandLine = 64 * 1024;

std::vector<std::string> words(std::string_view line) {
    std::vector<std::string> result;
    std::istringstream stream{std::string(line)};
    std::string word;
    while (stream >> word)
        result.push_back(word);
    return result;
}

std::optional<unsigned> parseNumber(std::string_view text, int base = 10) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

sim::Frame frame(sim::FrameType type, std::vector<uint8_t> payload = {}) {
    return sim::Frame{type, std::move(payload)};
}

sim::Frame notice(sim::NoticeEvent event, std::u16string_view path) {
    return frame(sim::FrameType::DeviceNotice,
                 sim::PayloadWriter().u8(static_cast<uint8_t>(event)).string(path).take());
}

constexpr std::string_view kHelp =
    "commands: press N | release N | click N (N = hardware button id 1..6) | unplug | plug | "
    "raw HEX... | fail-features on|off | lengths INPUT FEATURE | clear-log | dump | help | quit";

}  // namespace

MouseSimulator::MouseSimulator(SimulatorOptions options)
    : options_(options), firmware_(options.firmware) {}

MouseSimulator::~MouseSimulator() {
    stop();
}

void MouseSimulator::stop() {
    hidThread_ = {};
    controlThread_ = {};
    const std::lock_guard lock(controlMutex_);
    controlSessions_.clear();
}

bool MouseSimulator::start() {
    hidListener_ = platform::TcpListener::listenLoopback(options_.hidPort);
    controlListener_ = platform::TcpListener::listenLoopback(options_.controlPort);
    if (!hidListener_ || !controlListener_)
        return false;
    hidThread_ = std::jthread([this](std::stop_token stop) { serveHid(stop); });
    controlThread_ = std::jthread([this](std::stop_token stop) { serveControl(stop); });
    return true;
}

uint16_t MouseSimulator::hidPort() const {
    return hidListener_ ? hidListener_->port() : 0;
}
uint16_t MouseSimulator::controlPort() const {
    return controlListener_ ? controlListener_->port() : 0;
}

void MouseSimulator::waitForQuit() {
    std::unique_lock lock(mutex_);
    quitCondition_.wait(lock, [&] { return quit_; });
}

bool MouseSimulator::quitRequested() const {
    const std::lock_guard lock(mutex_);
    return quit_;
}

// One program at a time: the next connection waits until this one has ended.
void MouseSimulator::serveHid(std::stop_token stop) {
    while (!stop.stop_requested()) {
        std::unique_ptr<platform::TcpStream> stream = hidListener_->accept(kPoll);
        if (!stream)
            continue;
        {
            const std::lock_guard lock(mutex_);
            client_ = stream.get();
        }
        runHidSession(*stream, stop);
        const std::lock_guard lock(mutex_);
        client_ = nullptr;
        handles_.clear();
    }
}

void MouseSimulator::runHidSession(platform::TcpStream& stream, std::stop_token stop) {
    sim::FrameAssembler assembler;
    std::array<uint8_t, 4096> chunk{};
    while (!stop.stop_requested()) {
        const platform::Received got = stream.receiveSome(chunk, kPoll);
        if (got.status == platform::ReceiveStatus::Timeout)
            continue;
        if (got.status == platform::ReceiveStatus::Closed)
            return;
        assembler.append(std::span(chunk).first(got.count));
        while (auto request = assembler.next())
            answer(*request);
        if (assembler.broken())
            return;
    }
}

void MouseSimulator::answer(const sim::Frame& request) {
    const std::lock_guard lock(mutex_);
    sim::PayloadReader reader(request.payload);
    switch (request.type) {
        case sim::FrameType::Hello:
            sendLocked(frame(sim::FrameType::HelloReply,
                             sim::PayloadWriter().u16(sim::kProtocolVersion).take()));
            return;
        case sim::FrameType::Enumerate:
            sendLocked(frame(sim::FrameType::InterfaceList,
                             sim::encodeInterfaceList(firmware_.interfaces())));
            return;
        case sim::FrameType::Open: {
            const auto access = reader.u8();
            const auto path = reader.string();
            uint32_t handle = 0;
            // A path that is none of the mouse's counts as the ordinary mouse collection: the
            // system keeps that one to itself, so neither can be opened.
            const InterfaceKind kind =
                path ? MouseFirmware::kindOf(*path).value_or(InterfaceKind::OrdinaryMouse)
                     : InterfaceKind::OrdinaryMouse;
            const bool validAccess = access == static_cast<uint8_t>(sim::OpenAccess::Read) ||
                                     access == static_cast<uint8_t>(sim::OpenAccess::Write);
            if (firmware_.plugged() && kind != InterfaceKind::OrdinaryMouse && validAccess) {
                handle = nextHandle_++;
                handles_[handle] = {kind, static_cast<sim::OpenAccess>(*access)};
            }
            sendLocked(frame(sim::FrameType::Opened, sim::PayloadWriter().u32(handle).take()));
            return;
        }
        case sim::FrameType::SetFeature: {
            const auto handle = reader.u32();
            const auto report = reader.rest();
            bool accepted = false;
            const auto found = handle ? handles_.find(*handle) : handles_.end();
            if (found != handles_.end()) {
                if (found->second.kind == InterfaceKind::Feature &&
                    found->second.access == sim::OpenAccess::Write) {
                    accepted = firmware_.takeFeatureReport(report);
                } else {
                    firmware_.refuseFeatureReport(report);
                }
            }
            sendLocked(frame(sim::FrameType::FeatureResult,
                             sim::PayloadWriter().u8(accepted ? 1 : 0).take()));
            return;
        }
        case sim::FrameType::Close:
            if (const auto handle = reader.u32())
                handles_.erase(*handle);
            return;
        default:
            return;  // not a request: nothing to answer
    }
}

void MouseSimulator::sendLocked(const sim::Frame& message) {
    if (client_ != nullptr)
        client_->sendAll(sim::encodeFrame(message));
}

bool MouseSimulator::deliverInputLocked(const Bytes& report) {
    bool delivered = false;
    for (const auto& [handle, open] : handles_) {
        if (open.kind != InterfaceKind::Input || open.access != sim::OpenAccess::Read)
            continue;
        sendLocked(frame(sim::FrameType::InputReport,
                         sim::PayloadWriter().u32(handle).bytes(report).take()));
        delivered = true;
    }
    if (delivered)
        firmware_.recordInputReport(report);
    return delivered;
}

ClientStatus MouseSimulator::clientStatusLocked() const {
    ClientStatus status;
    status.connected = client_ != nullptr;
    for (const auto& [handle, open] : handles_) {
        if (open.kind == InterfaceKind::Input && open.access == sim::OpenAccess::Read) {
            status.inputOpen = true;
        }
        if (open.kind == InterfaceKind::Feature && open.access == sim::OpenAccess::Write) {
            status.featureOpen = true;
        }
    }
    return status;
}

std::string MouseSimulator::pressLocked(int buttonId, bool press) {
    if (buttonId < 1 || buttonId > kButtonCount)
        return "error: button id must be 1..6";
    const std::optional<Bytes> report =
        press ? firmware_.press(buttonId) : firmware_.release(buttonId);
    if (!report)
        return "ok no report: the button does not report to the host";
    if (!firmware_.plugged())
        return "error: the mouse is unplugged";
    if (!deliverInputLocked(*report))
        return "error: no client has the input interface open";
    return "ok";
}

std::string MouseSimulator::unplugLocked() {
    if (!firmware_.plugged())
        return "ok already unplugged";
    firmware_.setPlugged(false);
    for (const auto& [handle, open] : handles_) {
        sendLocked(frame(sim::FrameType::HandleClosed, sim::PayloadWriter().u32(handle).take()));
    }
    handles_.clear();
    for (const auto& path : MouseFirmware::paths()) {
        sendLocked(notice(sim::NoticeEvent::Removal, path));
    }
    return "ok";
}

std::string MouseSimulator::plugLocked() {
    if (firmware_.plugged())
        return "ok already plugged";
    firmware_.setPlugged(true);
    for (const auto& path : MouseFirmware::paths()) {
        sendLocked(notice(sim::NoticeEvent::Arrival, path));
    }
    return "ok";
}

std::string MouseSimulator::execute(std::string_view line) {
    const std::vector<std::string> args = words(line);
    if (args.empty())
        return "error: empty command";
    std::string command = args[0];
    std::transform(command.begin(), command.end(), command.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto argument = [&](size_t index) -> std::optional<unsigned> {
        if (index >= args.size())
            return std::nullopt;
        return parseNumber(args[index]);
    };

    const std::lock_guard lock(mutex_);
    if (command == "press" || command == "release" || command == "click") {
        const auto id = argument(1);
        if (!id || args.size() != 2)
            return "error: usage: " + command + " N";
        const int buttonId = static_cast<int>(std::min(*id, 1000u));
        if (command == "click") {
            const std::string pressed = pressLocked(buttonId, true);
            if (pressed.starts_with("error"))
                return pressed;
            return pressLocked(buttonId, false);
        }
        return pressLocked(buttonId, command == "press");
    }
    if (command == "unplug")
        return unplugLocked();
    if (command == "plug")
        return plugLocked();
    if (command == "raw") {
        Bytes bytes;
        for (size_t i = 1; i < args.size(); ++i) {
            const auto byte = args[i].size() <= 2 ? parseNumber(args[i], 16) : std::nullopt;
            if (!byte)
                return "error: raw takes hex bytes, such as: raw 06 F1";
            bytes.push_back(static_cast<uint8_t>(*byte));
        }
        if (bytes.empty())
            return "error: raw takes hex bytes, such as: raw 06 F1";
        const auto report = firmware_.inputReport(bytes);
        if (!report)
            return "error: longer than the input report length";
        if (!firmware_.plugged())
            return "error: the mouse is unplugged";
        if (!deliverInputLocked(*report))
            return "error: no client has the input interface open";
        return "ok";
    }
    if (command == "fail-features") {
        if (args.size() != 2 || (args[1] != "on" && args[1] != "off")) {
            return "error: usage: fail-features on|off";
        }
        firmware_.setFailFeatureReports(args[1] == "on");
        return "ok";
    }
    if (command == "lengths") {
        const auto input = argument(1);
        const auto feature = argument(2);
        if (!input || !feature || args.size() != 3 || *input > 0xFFFF || *feature > 0xFFFF) {
            return "error: usage: lengths INPUT FEATURE (0..65535)";
        }
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
    return "error: unknown command '" + args[0] + "'; " + std::string(kHelp);
}

void MouseSimulator::serveControl(std::stop_token stop) {
    while (!stop.stop_requested()) {
        std::unique_ptr<platform::TcpStream> stream = controlListener_->accept(kPoll);
        if (!stream)
            continue;
        const std::lock_guard lock(controlMutex_);
        controlSessions_.remove_if(
            [](const ControlSession& session) { return session.done->load(); });
        auto done = std::make_shared<std::atomic<bool>>(false);
        controlSessions_.push_back(
            {std::jthread(
                 [this, done, owned = std::shared_ptr<platform::TcpStream>(std::move(stream))](
                     std::stop_token sessionStop) mutable {
                     runControlSession(owned, sessionStop);
                     done->store(true);
                 }),
             done});
    }
}

void MouseSimulator::runControlSession(std::shared_ptr<platform::TcpStream> stream,
                                       std::stop_token stop) {
    std::string pending;
    std::array<uint8_t, 4096> chunk{};
    while (!stop.stop_requested()) {
        const platform::Received got = stream->receiveSome(chunk, kPoll);
        if (got.status == platform::ReceiveStatus::Timeout)
            continue;
        if (got.status == platform::ReceiveStatus::Closed)
            return;
        pending.append(reinterpret_cast<const char*>(chunk.data()), got.count);
        size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.find_first_not_of(" \t") == std::string::npos)
                continue;
            const std::string reply = execute(line) + "\n";
            if (!stream->sendAll(
                    std::span(reinterpret_cast<const uint8_t*>(reply.data()), reply.size()))) {
                return;
            }
        }
        if (pending.size() > kMaxCommandLine)
            return;  // no line ends: not a control client
    }
}

}  // namespace v270::mousesim
