#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

// TCP on the loopback network, as the simulated mouse and its client use it. Both ends turn off
// send coalescing, since every frame is small and waits for an answer.
namespace v270::platform {

enum class ReceiveStatus { Data, Timeout, Closed };

struct Received {
    ReceiveStatus status = ReceiveStatus::Closed;
    size_t count = 0;  // bytes received, for Data
};

// One connected stream. One thread may send while another receives; shutdown() may come from
// any thread.
class TcpStream {
  public:
    struct Impl;
    explicit TcpStream(std::unique_ptr<Impl> impl);
    TcpStream(const TcpStream&) = delete;
    TcpStream& operator=(const TcpStream&) = delete;
    ~TcpStream();

    // Sends every byte; false when the connection is gone.
    bool sendAll(std::span<const uint8_t> bytes);

    // A receive timeout that never ends: only bytes, the peer's end or shutdown() end the wait.
    static constexpr std::chrono::milliseconds kNoTimeout{-1};

    // Waits up to `timeout` for bytes and takes what has come, at most the buffer's size.
    Received receiveSome(std::span<uint8_t> buffer, std::chrono::milliseconds timeout);

    // Ends both directions: the peer sees the end, and a receive here returns Closed.
    void shutdown();

  private:
    std::unique_ptr<Impl> impl_;
};

class TcpListener {
  public:
    struct Impl;
    explicit TcpListener(std::unique_ptr<Impl> impl);
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;
    ~TcpListener();

    // Listens on 127.0.0.1:`port`; port 0 takes any free port. Null when that fails.
    static std::unique_ptr<TcpListener> listenLoopback(uint16_t port);

    uint16_t port() const;

    // The next connection, or null when none came within `timeout` or accepting failed.
    std::unique_ptr<TcpStream> accept(std::chrono::milliseconds timeout);

  private:
    std::unique_ptr<Impl> impl_;
};

// Connects to `host` (a name or a numeric address) at `port`; null when that fails.
std::unique_ptr<TcpStream> connectTcp(const std::string& host, uint16_t port);

}  // namespace v270::platform
