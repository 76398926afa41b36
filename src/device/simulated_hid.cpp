#include "device/simulated_hid.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <deque>
#include <map>
#include <utility>
#include <vector>

#include "device/sim_protocol.h"
#include "platform/sockets.h"
#include "platform/worker_thread.h"

namespace v270 {

namespace {

using namespace std::chrono_literals;

// A simulator that does not answer within this time is taken as gone for that request.
constexpr std::chrono::seconds kReplyTimeout{5};
// The HID class driver keeps this many input reports per handle by default; older ones go
// when a reader falls behind.
constexpr size_t kInputReportQueue = 32;

sim::Frame frame(sim::FrameType type, std::vector<uint8_t> payload = {}) {
    return sim::Frame{type, std::move(payload)};
}

}  // namespace

// Hands notices to the sink from a thread of its own, in the order they came.
class NoticeDispatcher {
  public:
    explicit NoticeDispatcher(platform::DeviceNoticeSink& sink) : sink_(sink) {
        thread_.ensureRunning();
    }

    void enable() { enabled_.store(true); }

    void post(platform::DeviceNotice notice) {
        if (!enabled_.load())
            return;
        {
            const std::lock_guard lock(mutex_);
            queue_.push_back(std::move(notice));
        }
        condition_.notify_one();
    }

  private:
    void run(std::stop_token stop) {
        for (;;) {
            platform::DeviceNotice next;
            {
                std::unique_lock lock(mutex_);
                if (!condition_.wait(lock, stop, [&] { return !queue_.empty(); }))
                    return;
                next = std::move(queue_.front());
                queue_.pop_front();
            }
            sink_.deliver(next);
        }
    }

    platform::DeviceNoticeSink& sink_;
    std::atomic<bool> enabled_{false};
    std::mutex mutex_;
    std::condition_variable_any condition_;
    std::deque<platform::DeviceNotice> queue_;
    // Last, so that it ends before the rest goes.
    platform::WorkerThread thread_{"v270 sim notices", platform::ThreadPriority::Normal,
                                   [this](std::stop_token stop) { run(stop); }};
};

// One connection to the simulator: a receiving thread sorts what comes into replies, input
// reports per handle and notices; requests go out one at a time.
class SimulatorConnection {
  public:
    SimulatorConnection(std::unique_ptr<platform::TcpStream> stream,
                        std::shared_ptr<NoticeDispatcher> notices)
        : stream_(std::move(stream)), notices_(std::move(notices)) {
        receiver_.ensureRunning();
    }

    SimulatorConnection(const SimulatorConnection&) = delete;
    SimulatorConnection& operator=(const SimulatorConnection&) = delete;

    ~SimulatorConnection() {
        // The stop first, so that the receiver takes the end of the stream for its own doing.
        receiver_.requestStop();
        stream_->shutdown();
        receiver_.stop();
    }

    bool alive() const {
        const std::lock_guard lock(mutex_);
        return alive_;
    }

    // Sends `request` and waits for its reply of type `replyType`.
    std::optional<sim::Frame> request(const sim::Frame& request, sim::FrameType replyType) {
        const std::lock_guard requestLock(requestMutex_);
        {
            const std::lock_guard lock(mutex_);
            if (!alive_)
                return std::nullopt;
            reply_.reset();
        }
        if (!stream_->sendAll(sim::encodeFrame(request)))
            return std::nullopt;
        std::unique_lock lock(mutex_);
        if (!replyArrived_.wait_for(lock, kReplyTimeout, [&] { return reply_ || !alive_; })) {
            // A late reply could be taken for the next request's: this connection is done.
            lock.unlock();
            stream_->shutdown();
            return std::nullopt;
        }
        if (!reply_ || reply_->type != replyType)
            return std::nullopt;
        return std::exchange(reply_, std::nullopt);
    }

    void send(const sim::Frame& message) {
        const std::lock_guard requestLock(requestMutex_);
        stream_->sendAll(sim::encodeFrame(message));
    }

    void setListed(std::vector<sim::InterfaceRecord> interfaces) {
        const std::lock_guard lock(mutex_);
        listed_ = std::move(interfaces);
    }
    std::optional<sim::InterfaceRecord> listed(std::u16string_view path) const {
        const std::lock_guard lock(mutex_);
        // The simulator, like the system, takes a path in any case of its letters.
        for (const auto& entry : listed_) {
            if (platform::sameInterfaceName(entry.path, path))
                return entry;
        }
        return std::nullopt;
    }

    bool readInput(uint32_t handle, std::span<uint8_t> buffer, std::stop_token stop) {
        std::unique_lock lock(mutex_);
        const auto usable = [&] {
            const auto found = handles_.find(handle);
            return found != handles_.end() && !found->second.closed;
        };
        if (!inputArrived_.wait(
                lock, stop, [&] { return !usable() || !handles_.at(handle).reports.empty(); })) {
            return false;
        }
        if (!usable())
            return false;
        auto& reports = handles_.at(handle).reports;
        std::vector<uint8_t> report = std::move(reports.front());
        reports.pop_front();
        lock.unlock();
        // A report longer than the buffer fails the read, as the system's read does.
        if (report.size() > buffer.size())
            return false;
        std::fill(std::copy(report.begin(), report.end(), buffer.begin()), buffer.end(),
                  uint8_t{0});
        return true;
    }

    void close(uint32_t handle) {
        {
            const std::lock_guard lock(mutex_);
            handles_.erase(handle);
        }
        inputArrived_.notify_all();
        if (alive())
            send(frame(sim::FrameType::Close, sim::PayloadWriter().u32(handle).take()));
    }

  private:
    void receive(std::stop_token stop) {
        sim::FrameAssembler assembler;
        std::array<uint8_t, 4096> chunk{};
        // A quiet connection costs nothing: the wait ends with bytes, the simulator's end, or
        // the shutdown of this end.
        while (!stop.stop_requested()) {
            const platform::Received got =
                stream_->receiveSome(chunk, platform::TcpStream::kNoTimeout);
            if (got.status == platform::ReceiveStatus::Timeout)
                continue;
            if (got.status == platform::ReceiveStatus::Closed)
                break;
            assembler.append(std::span(chunk).first(got.count));
            while (auto next = assembler.next())
                dispatch(std::move(*next));
            if (assembler.broken())
                break;
        }
        lost(stop.stop_requested());
    }

    void dispatch(sim::Frame message) {
        switch (message.type) {
            case sim::FrameType::InputReport: {
                sim::PayloadReader reader(message.payload);
                const auto handle = reader.u32();
                if (!handle)
                    return;
                const auto bytes = reader.rest();
                {
                    const std::lock_guard lock(mutex_);
                    const auto found = handles_.find(*handle);
                    if (found == handles_.end() || found->second.closed)
                        return;
                    auto& reports = found->second.reports;
                    if (reports.size() == kInputReportQueue)
                        reports.pop_front();
                    reports.emplace_back(bytes.begin(), bytes.end());
                }
                inputArrived_.notify_all();
                return;
            }
            case sim::FrameType::HandleClosed: {
                sim::PayloadReader reader(message.payload);
                if (const auto handle = reader.u32()) {
                    const std::lock_guard lock(mutex_);
                    if (const auto found = handles_.find(*handle); found != handles_.end()) {
                        found->second.closed = true;
                    }
                }
                inputArrived_.notify_all();
                return;
            }
            case sim::FrameType::DeviceNotice: {
                sim::PayloadReader reader(message.payload);
                const auto event = reader.u8();
                const auto path = reader.string();
                if (!event || !path)
                    return;
                const bool arrival = *event == static_cast<uint8_t>(sim::NoticeEvent::Arrival);
                notices_->post({arrival ? platform::DeviceNotice::Kind::Arrival
                                        : platform::DeviceNotice::Kind::Removal,
                                *path});
                return;
            }
            case sim::FrameType::Opened: {
                // The handle's queue exists before any of its reports can arrive.
                sim::PayloadReader reader(message.payload);
                if (const auto handle = reader.u32(); handle && *handle != 0) {
                    const std::lock_guard lock(mutex_);
                    handles_[*handle];
                }
                [[fallthrough]];
            }
            default: {
                {
                    const std::lock_guard lock(mutex_);
                    reply_ = std::move(message);
                }
                replyArrived_.notify_all();
                return;
            }
        }
    }

    // The simulator is gone: every handle fails from now on, and unless this end closed the
    // connection itself, the interfaces it had listed are removed.
    void lost(bool closedHere) {
        std::vector<sim::InterfaceRecord> removed;
        {
            const std::lock_guard lock(mutex_);
            alive_ = false;
            for (auto& [handle, state] : handles_)
                state.closed = true;
            removed = std::move(listed_);
        }
        replyArrived_.notify_all();
        inputArrived_.notify_all();
        if (closedHere)
            return;
        for (const auto& entry : removed)
            notices_->post({platform::DeviceNotice::Kind::Removal, entry.path});
    }

    struct HandleState {
        std::deque<std::vector<uint8_t>> reports;
        bool closed = false;
    };

    const std::unique_ptr<platform::TcpStream> stream_;
    const std::shared_ptr<NoticeDispatcher> notices_;
    std::mutex requestMutex_;
    mutable std::mutex mutex_;
    std::condition_variable replyArrived_;
    std::condition_variable_any inputArrived_;
    bool alive_ = true;
    std::optional<sim::Frame> reply_;
    std::vector<sim::InterfaceRecord> listed_;
    std::map<uint32_t, HandleState> handles_;
    // Last: it starts once everything above exists.
    platform::WorkerThread receiver_{"v270 sim link", platform::ThreadPriority::Normal,
                                     [this](std::stop_token stop) { receive(stop); }};
};

namespace {

class SimulatedDevice final : public platform::HidDevice {
  public:
    SimulatedDevice(std::shared_ptr<SimulatorConnection> connection, uint32_t handle,
                    size_t featureLength)
        : connection_(std::move(connection)), handle_(handle), featureLength_(featureLength) {}
    SimulatedDevice(const SimulatedDevice&) = delete;
    SimulatedDevice& operator=(const SimulatedDevice&) = delete;
    ~SimulatedDevice() override { connection_->close(handle_); }

    platform::HidResult sendFeatureReport(std::span<const uint8_t> report) override {
        const std::vector<uint8_t> padded = platform::reportOfLength(report, featureLength_);
        const auto reply =
            connection_->request(frame(sim::FrameType::SetFeature,
                                       sim::PayloadWriter().u32(handle_).bytes(padded).take()),
                                 sim::FrameType::FeatureResult);
        if (!reply)
            return platform::HidResult::failure("SetFeature: the simulated mouse did not answer");
        if (sim::PayloadReader(reply->payload).u8() != uint8_t{1})
            return platform::HidResult::failure("SetFeature: the simulated mouse refused it");
        return platform::HidResult::success();
    }

    platform::HidResult readInputReport(std::span<uint8_t> buffer, std::stop_token stop) override {
        if (connection_->readInput(handle_, buffer, std::move(stop)))
            return platform::HidResult::success();
        return platform::HidResult::failure("read: no report from the simulated mouse");
    }

  private:
    const std::shared_ptr<SimulatorConnection> connection_;
    const uint32_t handle_;
    const size_t featureLength_;
};

}  // namespace

SimulatedHidSystem::SimulatedHidSystem(SimulatorEndpoint endpoint, platform::DeviceNoticeSink& sink)
    : endpoint_(std::move(endpoint)), notices_(std::make_shared<NoticeDispatcher>(sink)) {}

SimulatedHidSystem::~SimulatedHidSystem() = default;

std::shared_ptr<SimulatorConnection> SimulatedHidSystem::connection() {
    const std::lock_guard lock(mutex_);
    if (connection_ && connection_->alive())
        return connection_;
    connection_.reset();
    auto stream = platform::connectTcp(endpoint_.host, endpoint_.port);
    if (!stream)
        return nullptr;
    auto fresh = std::make_shared<SimulatorConnection>(std::move(stream), notices_);
    const auto hello = fresh->request(
        frame(sim::FrameType::Hello, sim::PayloadWriter().u16(sim::kProtocolVersion).take()),
        sim::FrameType::HelloReply);
    if (!hello || sim::PayloadReader(hello->payload).u16() != sim::kProtocolVersion) {
        return nullptr;
    }
    connection_ = std::move(fresh);
    return connection_;
}

std::vector<platform::HidInterface> SimulatedHidSystem::enumerate() {
    const auto link = connection();
    if (!link)
        return {};
    const auto reply =
        link->request(frame(sim::FrameType::Enumerate), sim::FrameType::InterfaceList);
    if (!reply)
        return {};
    auto interfaces = sim::decodeInterfaceList(reply->payload);
    if (!interfaces)
        return {};
    link->setListed(*interfaces);
    std::vector<platform::HidInterface> present;
    for (const sim::InterfaceRecord& record : *interfaces)
        present.push_back(record.listing());
    return present;
}

std::unique_ptr<platform::HidDevice> SimulatedHidSystem::open(std::u16string_view path,
                                                              platform::HidAccess access) {
    const auto link = connection();
    if (!link)
        return nullptr;
    const auto wireAccess =
        access == platform::HidAccess::Read ? sim::OpenAccess::Read : sim::OpenAccess::Write;
    const auto reply = link->request(
        frame(sim::FrameType::Open,
              sim::PayloadWriter().u8(static_cast<uint8_t>(wireAccess)).string(path).take()),
        sim::FrameType::Opened);
    if (!reply)
        return nullptr;
    const auto handle = sim::PayloadReader(reply->payload).u32();
    if (!handle || *handle == 0)
        return nullptr;
    const auto record = link->listed(path);
    const size_t featureLength = record ? record->caps.featureReportByteLength : 0;
    return std::make_unique<SimulatedDevice>(link, *handle, featureLength);
}

void SimulatedHidSystem::registerForNotices() {
    notices_->enable();
}

}  // namespace v270
