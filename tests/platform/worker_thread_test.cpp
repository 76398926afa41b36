#include "platform/worker_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace v270 {
namespace {

// A job that runs until the test lets it end, counting its runs.
class Gate {
  public:
    void job(std::stop_token stop) {
        std::unique_lock lock(mutex_);
        ++runs_;
        changed_.notify_all();
        changed_.wait(lock, stop, [&] { return open_; });
        open_ = false;
    }
    void open() {
        const std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    void waitForRuns(int count) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return runs_ >= count; });
    }
    int runs() {
        const std::lock_guard lock(mutex_);
        return runs_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable_any changed_;
    int runs_ = 0;
    bool open_ = false;
};

TEST(WorkerThreadTest, OneThreadAtATimeAndARequestWhileRunningRunsTheJobAgain) {
    Gate gate;
    platform::WorkerThread worker("test worker", platform::ThreadPriority::Normal,
                                  [&](std::stop_token stop) { gate.job(stop); });
    EXPECT_TRUE(worker.ensureRunning());
    EXPECT_TRUE(worker.running()) << "the flag is set before the thread starts";
    gate.waitForRuns(1);
    EXPECT_FALSE(worker.ensureRunning()) << "it runs already";
    gate.open();
    gate.waitForRuns(2);
    EXPECT_TRUE(worker.running()) << "the request made while it ran is not lost";
    gate.open();
    worker.stop();
    EXPECT_FALSE(worker.running());
    EXPECT_EQ(gate.runs(), 2);
}

TEST(WorkerThreadTest, AJobThatEndedIsStartedAfreshAndAStopEndsAWaitingJob) {
    std::atomic<int> runs{0};
    platform::WorkerThread quick("quick", platform::ThreadPriority::Normal,
                                 [&](std::stop_token) { ++runs; });
    quick.ensureRunning();
    while (quick.running())
        std::this_thread::yield();
    EXPECT_TRUE(quick.ensureRunning());
    quick.stop();
    EXPECT_EQ(runs.load(), 2);
    EXPECT_FALSE(quick.ensureRunning()) << "a stopped worker starts no thread again";

    Gate gate;
    platform::WorkerThread waiting("waiting", platform::ThreadPriority::Highest,
                                   [&](std::stop_token stop) { gate.job(stop); });
    waiting.ensureRunning();
    gate.waitForRuns(1);
    waiting.stop();
    EXPECT_FALSE(waiting.running());
}

}  // namespace
}  // namespace v270
