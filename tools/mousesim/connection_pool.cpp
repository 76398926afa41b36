#include "connection_pool.h"

#include <utility>

namespace v270::mousesim {

bool ConnectionPool::start(platform::WorkerThread::Job job) {
    const std::lock_guard lock(mutex_);
    if (stopped_)
        return false;
    workers_.remove_if([](const platform::WorkerThread& worker) { return !worker.running(); });
    if (workers_.size() >= limit_)
        return false;
    workers_.emplace_back(threadName_, platform::ThreadPriority::Normal, std::move(job));
    workers_.back().ensureRunning();
    return true;
}

void ConnectionPool::stopAll() {
    std::list<platform::WorkerThread> ending;
    {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
        ending.swap(workers_);
    }
    // Outside the lock; each one's destructor asks its job to stop and joins it.
    for (platform::WorkerThread& worker : ending)
        worker.requestStop();
    ending.clear();
}

}  // namespace v270::mousesim
