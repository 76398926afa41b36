#pragma once

#include <cstddef>
#include <list>
#include <mutex>
#include <string>

#include "platform/worker_thread.h"

namespace v270::mousesim {

// The threads that serve accepted connections, one each, at most `limit` at once, so that no
// number of clients can make the simulator start threads without end. A thread whose job has
// returned is joined at the next start() or at stopAll().
class ConnectionPool {
  public:
    ConnectionPool(std::string threadName, size_t limit)
        : threadName_(std::move(threadName)), limit_(limit) {}
    ConnectionPool(const ConnectionPool&) = delete;
    ConnectionPool& operator=(const ConnectionPool&) = delete;
    ~ConnectionPool() { stopAll(); }

    // Runs `job` on a thread of its own; false, and nothing runs, when `limit` jobs are still
    // running or the pool was stopped.
    bool start(platform::WorkerThread::Job job);

    // Asks every job to stop and waits for them; starts none again.
    void stopAll();

  private:
    const std::string threadName_;
    const size_t limit_;
    std::mutex mutex_;
    std::list<platform::WorkerThread> workers_;
    bool stopped_ = false;
};

}  // namespace v270::mousesim
