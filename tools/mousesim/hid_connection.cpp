#include "hid_connection.h"

#include <utility>

namespace v270::mousesim {

HidConnection::HidConnection(std::unique_ptr<platform::TcpStream> stream)
    : stream_(std::move(stream)) {
    sender_.ensureRunning();
}

HidConnection::~HidConnection() {
    // The cut first: it ends a send that a client which does not read has left blocked.
    cut();
    sender_.stop();
}

void HidConnection::send(const sim::Frame& frame) {
    {
        const std::lock_guard lock(mutex_);
        if (cut_)
            return;
        std::vector<uint8_t> bytes = sim::encodeFrame(frame);
        if (queuedBytes_ + bytes.size() <= kMaxUnsentBytes) {
            queuedBytes_ += bytes.size();
            queue_.push_back(std::move(bytes));
            queued_.notify_one();
            return;
        }
    }
    cut();
}

void HidConnection::cut() {
    {
        const std::lock_guard lock(mutex_);
        cut_ = true;
        queue_.clear();
        queuedBytes_ = 0;
    }
    queued_.notify_one();
    stream_->shutdown();
}

void HidConnection::sendQueued(std::stop_token stop) {
    for (;;) {
        std::vector<uint8_t> next;
        {
            std::unique_lock lock(mutex_);
            if (!queued_.wait(lock, stop, [&] { return cut_ || !queue_.empty(); }) || cut_)
                return;
            next = std::move(queue_.front());
            queue_.pop_front();
            queuedBytes_ -= next.size();
        }
        if (!stream_->sendAll(next)) {
            cut();
            return;
        }
    }
}

}  // namespace v270::mousesim
