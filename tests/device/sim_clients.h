#pragma once

#include <array>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/sim_protocol.h"
#include "platform/sockets.h"

// Clients of the simulator's two ports that send exactly what a test gives them, and read the
// dump's fields: for the edges of the wire protocol and of the command language.
namespace v270::test {

// Long enough for any answer, short enough that a missing one fails rather than hangs.
inline constexpr std::chrono::seconds kAnswerWait{10};

// The part of the dump that follows `"key":`, up to the next comma at the same depth.
inline std::string field(const std::string& json, const std::string& key) {
    const std::string marker = "\"" + key + "\":";
    const size_t start = json.find(marker);
    if (start == std::string::npos)
        return "<missing>";
    size_t end = start + marker.size();
    int depth = 0;
    for (; end < json.size(); ++end) {
        const char c = json[end];
        if (c == '[' || c == '{')
            ++depth;
        if (c == ']' || c == '}') {
            if (depth == 0)
                break;
            --depth;
        }
        if (c == ',' && depth == 0)
            break;
    }
    return json.substr(start + marker.size(), end - start - marker.size());
}

inline std::vector<uint8_t> wire(sim::FrameType type, std::vector<uint8_t> payload = {}) {
    return sim::encodeFrame({type, std::move(payload)});
}

// A connection to the HID port, frame by frame.
class WireClient {
  public:
    explicit WireClient(uint16_t port) : stream_(platform::connectTcp("127.0.0.1", port)) {}

    void send(std::span<const uint8_t> bytes) {
        if (stream_)
            stream_->sendAll(bytes);
    }
    void send(sim::FrameType type, std::vector<uint8_t> payload = {}) {
        send(wire(type, std::move(payload)));
    }

    // The next frame from the simulator; nullopt once the connection has ended, or when none
    // came within kAnswerWait.
    std::optional<sim::Frame> next() {
        while (stream_) {
            if (auto frame = assembler_.next())
                return frame;
            const platform::Received got = stream_->receiveSome(chunk_, kAnswerWait);
            if (got.status != platform::ReceiveStatus::Data)
                return std::nullopt;  // no frame came, or the connection ended
            assembler_.append(std::span(chunk_).first(got.count));
        }
        return std::nullopt;
    }
    // Whether the simulator closes the connection, reading past any frames before its end.
    bool closedBySimulator() {
        while (stream_) {
            while (assembler_.next()) {
            }
            const platform::Received got = stream_->receiveSome(chunk_, kAnswerWait);
            if (got.status == platform::ReceiveStatus::Closed)
                return true;
            if (got.status == platform::ReceiveStatus::Timeout)
                return false;
            assembler_.append(std::span(chunk_).first(got.count));
        }
        return false;
    }

    // Hello, and whether the simulator answered it.
    bool greet() {
        send(sim::FrameType::Hello, sim::PayloadWriter().u16(sim::kProtocolVersion).take());
        const auto reply = next();
        return reply && reply->type == sim::FrameType::HelloReply;
    }
    // The handle an Open answers, 0 when refused or unanswered.
    uint32_t open(sim::OpenAccess access, std::u16string_view path) {
        send(sim::FrameType::Open,
             sim::PayloadWriter().u8(static_cast<uint8_t>(access)).string(path).take());
        const auto reply = next();
        if (!reply || reply->type != sim::FrameType::Opened)
            return 0;
        return sim::PayloadReader(reply->payload).u32().value_or(0);
    }

    void disconnect() { stream_.reset(); }

  private:
    std::unique_ptr<platform::TcpStream> stream_;
    sim::FrameAssembler assembler_;
    std::array<uint8_t, 4096> chunk_{};
};

// A connection to the control port, line by line.
class ControlClient {
  public:
    explicit ControlClient(uint16_t port) : stream_(platform::connectTcp("127.0.0.1", port)) {}

    void send(std::string_view text) {
        if (stream_)
            stream_->sendAll(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    }
    // The next reply line, without its LF; nullopt once the connection has ended.
    std::optional<std::string> line() {
        while (stream_) {
            if (const size_t end = pending_.find('\n'); end != std::string::npos) {
                std::string text = pending_.substr(0, end);
                pending_.erase(0, end + 1);
                return text;
            }
            std::array<uint8_t, 4096> chunk{};
            const platform::Received got = stream_->receiveSome(chunk, kAnswerWait);
            if (got.status != platform::ReceiveStatus::Data)
                return std::nullopt;
            pending_.append(reinterpret_cast<const char*>(chunk.data()), got.count);
        }
        return std::nullopt;
    }
    std::string command(std::string_view text) {
        send(std::string(text) + "\n");
        return line().value_or("<no reply>");
    }

  private:
    std::unique_ptr<platform::TcpStream> stream_;
    std::string pending_;
};

}  // namespace v270::test
