#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "device/sim_protocol.h"
#include "platform/sockets.h"
#include "platform/worker_thread.h"

namespace v270::mousesim {

// One client's connection to the HID port, as far as sending to it goes: frames queue here and
// go out in order from a thread of their own, so that a client that stops reading holds up
// neither the simulator's state nor the other clients.
class HidConnection {
  public:
    // A client that leaves more than this much unread is cut off.
    static constexpr size_t kMaxUnsentBytes = size_t{4} << 20;

    explicit HidConnection(std::unique_ptr<platform::TcpStream> stream);
    HidConnection(const HidConnection&) = delete;
    HidConnection& operator=(const HidConnection&) = delete;
    ~HidConnection();

    platform::TcpStream& stream() { return *stream_; }

    // Queues `frame` behind every frame queued before it. When the client has left too much
    // unread, or the connection is gone, the connection is cut instead.
    void send(const sim::Frame& frame);

    // Ends the connection in both directions and drops what was not sent: the client sees the
    // end, and a receive here returns Closed. Any thread may call it, more than once.
    void cut();

  private:
    void sendQueued(std::stop_token stop);

    const std::unique_ptr<platform::TcpStream> stream_;
    std::mutex mutex_;
    std::condition_variable_any queued_;
    std::deque<std::vector<uint8_t>> queue_;
    size_t queuedBytes_ = 0;
    bool cut_ = false;
    // Last: it starts once everything above exists.
    platform::WorkerThread sender_{"v270 sim send", platform::ThreadPriority::Normal,
                                   [this](std::stop_token stop) { sendQueued(stop); }};
};

}  // namespace v270::mousesim
