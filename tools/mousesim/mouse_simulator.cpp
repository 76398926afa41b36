#include "mouse_simulator.h"

#include <array>
#include <limits>
#include <stop_token>

namespace v270::mousesim {

namespace {

constexpr std::chrono::milliseconds kPoll{100};

sim::Frame frame(sim::FrameType type, std::vector<uint8_t> payload = {}) {
    return sim::Frame{type, std::move(payload)};
}

sim::Frame notice(sim::NoticeEvent event, std::u16string_view path) {
    return frame(sim::FrameType::DeviceNotice,
                 sim::PayloadWriter().u8(static_cast<uint8_t>(event)).string(path).take());
}

bool isRequest(sim::FrameType type) {
    switch (type) {
        case sim::FrameType::Hello:
        case sim::FrameType::Enumerate:
        case sim::FrameType::Open:
        case sim::FrameType::SetFeature:
        case sim::FrameType::Close:
            return true;
        default:
            return false;
    }
}

}  // namespace

MouseSimulator::MouseSimulator(SimulatorOptions options)
    : options_(options), firmware_(options.firmware) {}

MouseSimulator::~MouseSimulator() {
    stop();
}

void MouseSimulator::stop() {
    hidAcceptor_.stop();
    controlAcceptor_.stop();
    hidClients_.stopAll();
    controlClients_.stopAll();
}

bool MouseSimulator::start() {
    hidListener_ = platform::TcpListener::listenLoopback(options_.hidPort);
    controlListener_ = platform::TcpListener::listenLoopback(options_.controlPort);
    if (!hidListener_ || !controlListener_)
        return false;
    hidAcceptor_.ensureRunning();
    controlAcceptor_.ensureRunning();
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

// A client beyond the limit is closed at once, before any frame.
void MouseSimulator::acceptHid(std::stop_token stop) {
    while (!stop.stop_requested()) {
        std::unique_ptr<platform::TcpStream> stream = hidListener_->accept(kPoll);
        if (!stream)
            continue;
        auto client = std::make_shared<HidConnection>(std::move(stream));
        hidClients_.start(
            [this, client](std::stop_token clientStop) { serveHid(*client, clientStop); });
    }
}

void MouseSimulator::serveHid(HidConnection& client, std::stop_token stop) {
    {
        const std::lock_guard lock(mutex_);
        clients_.push_back(&client);
    }
    const std::stop_callback cutOnStop(stop, [&client] { client.cut(); });
    sim::FrameAssembler assembler;
    std::array<uint8_t, 4096> chunk{};
    bool greeted = false;
    bool open = true;
    while (open && !stop.stop_requested()) {
        const platform::Received got = client.stream().receiveSome(chunk, kPoll);
        if (got.status == platform::ReceiveStatus::Timeout)
            continue;
        if (got.status == platform::ReceiveStatus::Closed)
            break;
        assembler.append(std::span(chunk).first(got.count));
        while (open) {
            const std::optional<sim::Frame> request = assembler.next();
            if (!request)
                break;
            open = answer(client, greeted, *request);
        }
        open = open && !assembler.broken();
    }
    // Every handle of the connection closes with it.
    {
        const std::lock_guard lock(mutex_);
        std::erase_if(handles_, [&](const auto& entry) { return entry.second.owner == &client; });
        std::erase(clients_, &client);
    }
    client.cut();
}

bool MouseSimulator::answer(HidConnection& client, bool& greeted, const sim::Frame& request) {
    // Frames of other types are no requests: ignored, before the Hello as after it.
    if (!isRequest(request.type))
        return true;
    if (!greeted && request.type != sim::FrameType::Hello)
        return false;  // a client that has not said which protocol it speaks
    const std::lock_guard lock(mutex_);
    switch (request.type) {
        case sim::FrameType::Hello:
            // Whatever version the client named: it decides whether it speaks this one.
            greeted = true;
            client.send(frame(sim::FrameType::HelloReply,
                              sim::PayloadWriter().u16(sim::kProtocolVersion).take()));
            return true;
        case sim::FrameType::Enumerate:
            client.send(frame(sim::FrameType::InterfaceList,
                              sim::encodeInterfaceList(firmware_.interfaces())));
            return true;
        case sim::FrameType::Open:
            client.send(
                frame(sim::FrameType::Opened,
                      sim::PayloadWriter().u32(openLocked(client, request.payload)).take()));
            return true;
        case sim::FrameType::SetFeature: {
            const bool accepted = setFeatureLocked(client, request.payload);
            client.send(frame(sim::FrameType::FeatureResult,
                              sim::PayloadWriter().u8(accepted ? 1 : 0).take()));
            return true;
        }
        case sim::FrameType::Close:
            // Only a handle of this connection; anything else is ignored.
            if (const auto handle = sim::PayloadReader(request.payload).u32()) {
                const auto found = handles_.find(*handle);
                if (found != handles_.end() && found->second.owner == &client)
                    handles_.erase(found);
            }
            return true;
        default:
            return true;
    }
}

uint32_t MouseSimulator::openLocked(HidConnection& client, std::span<const uint8_t> payload) {
    sim::PayloadReader reader(payload);
    const auto access = reader.u8();
    const auto path = reader.string();
    if (!access || !path || !firmware_.plugged())
        return 0;
    if (*access != static_cast<uint8_t>(sim::OpenAccess::Read) &&
        *access != static_cast<uint8_t>(sim::OpenAccess::Write)) {
        return 0;
    }
    // The system keeps the ordinary mouse collection to itself; other paths are no device.
    const std::optional<InterfaceKind> kind = MouseFirmware::kindOf(*path);
    if (!kind || *kind == InterfaceKind::OrdinaryMouse)
        return 0;
    const auto held = std::count_if(handles_.begin(), handles_.end(), [&](const auto& entry) {
        return entry.second.owner == &client;
    });
    // Handles are never reused: once the numbers run out, opens fail.
    if (static_cast<size_t>(held) >= kMaxHandlesPerClient ||
        nextHandle_ == std::numeric_limits<uint32_t>::max()) {
        return 0;
    }
    const uint32_t handle = nextHandle_++;
    handles_[handle] = {*kind, static_cast<sim::OpenAccess>(*access), &client};
    return handle;
}

bool MouseSimulator::setFeatureLocked(HidConnection& client, std::span<const uint8_t> payload) {
    sim::PayloadReader reader(payload);
    const auto handle = reader.u32();
    const std::span<const uint8_t> report = reader.rest();
    // A handle this connection does not hold is refused without a trace, as a handle unknown
    // to a process is.
    const auto found = handle ? handles_.find(*handle) : handles_.end();
    if (found == handles_.end() || found->second.owner != &client)
        return false;
    if (found->second.kind != InterfaceKind::Feature ||
        found->second.access != sim::OpenAccess::Write) {
        firmware_.refuseFeatureReport(report);
        return false;
    }
    return firmware_.takeFeatureReport(report);
}

bool MouseSimulator::deliverInputLocked(const Bytes& report) {
    bool delivered = false;
    for (const auto& [handle, open] : handles_) {
        if (open.kind != InterfaceKind::Input || open.access != sim::OpenAccess::Read)
            continue;
        open.owner->send(frame(sim::FrameType::InputReport,
                               sim::PayloadWriter().u32(handle).bytes(report).take()));
        delivered = true;
    }
    if (delivered)
        firmware_.recordInputReport(report);
    return delivered;
}

ClientStatus MouseSimulator::clientStatusLocked() const {
    ClientStatus status;
    status.connected = !clients_.empty();
    for (const auto& [handle, open] : handles_) {
        if (open.kind == InterfaceKind::Input && open.access == sim::OpenAccess::Read)
            status.inputOpen = true;
        if (open.kind == InterfaceKind::Feature && open.access == sim::OpenAccess::Write)
            status.featureOpen = true;
    }
    return status;
}

std::string MouseSimulator::unplugLocked() {
    if (!firmware_.plugged())
        return "ok already unplugged";
    firmware_.setPlugged(false);
    for (const auto& [handle, open] : handles_) {
        open.owner->send(
            frame(sim::FrameType::HandleClosed, sim::PayloadWriter().u32(handle).take()));
    }
    handles_.clear();
    for (const auto& path : MouseFirmware::paths()) {
        for (HidConnection* client : clients_)
            client->send(notice(sim::NoticeEvent::Removal, path));
    }
    return "ok";
}

std::string MouseSimulator::plugLocked() {
    if (firmware_.plugged())
        return "ok already plugged";
    firmware_.setPlugged(true);
    for (const auto& path : MouseFirmware::paths()) {
        for (HidConnection* client : clients_)
            client->send(notice(sim::NoticeEvent::Arrival, path));
    }
    return "ok";
}

}  // namespace v270::mousesim
