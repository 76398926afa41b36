#pragma once

#include <functional>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <utility>

#include "platform/thread_setup.h"

namespace v270::platform {

// The one way the program starts a thread: a worker owned by the object whose job it runs. The
// running flag is set before the thread starts and cleared when the job returns; asking for a
// job that is just returning runs it once more, so a request is never lost between the job's
// last look at its conditions and its end. stop() (and the destructor) requests the stop and
// joins, so the owner declares its WorkerThread after everything the job uses.
class WorkerThread {
  public:
    using Job = std::function<void(std::stop_token)>;

    WorkerThread(std::string name, ThreadPriority priority, Job job)
        : name_(std::move(name)), priority_(priority), job_(std::move(job)) {}
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    ~WorkerThread() { stop(); }

    // Starts the job on a thread of its own unless it is running; a running job that has
    // already decided to end runs again. Returns whether a thread was started.
    bool ensureRunning() {
        const std::lock_guard lock(mutex_);
        if (stopped_)
            return false;
        if (running_) {
            again_ = true;
            return false;
        }
        // A thread that cleared its flag has nothing left to do but return.
        if (thread_.joinable())
            thread_.join();
        running_ = true;
        thread_ = std::jthread([this](std::stop_token stop) { run(stop); });
        return true;
    }

    bool running() const {
        const std::lock_guard lock(mutex_);
        return running_;
    }

    // Asks the job to stop, without waiting; for owners that must then wake it themselves.
    void requestStop() {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
        thread_.request_stop();
    }

    // Requests the stop, waits for the thread to end and starts none again.
    void stop() {
        std::jthread ending;
        {
            const std::lock_guard lock(mutex_);
            stopped_ = true;
            ending = std::move(thread_);
        }
        // Outside the lock: the job's end takes it to clear the flag.
        ending.request_stop();
        if (ending.joinable())
            ending.join();
    }

  private:
    void run(std::stop_token stop) {
        prepareCurrentThread(name_, priority_);
        for (;;) {
            job_(stop);
            const std::lock_guard lock(mutex_);
            if (!again_ || stop.stop_requested()) {
                running_ = false;
                again_ = false;
                return;
            }
            again_ = false;
        }
    }

    const std::string name_;
    const ThreadPriority priority_;
    const Job job_;
    mutable std::mutex mutex_;
    bool running_ = false;
    bool again_ = false;
    bool stopped_ = false;
    std::jthread thread_;
};

}  // namespace v270::platform
