#include "platform/hook_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace v270 {
namespace {

// The install is handed to the hook's own thread and its answer back; only a hook the system
// took gets its loop, and the owner's end stops that loop and joins the thread.
TEST(HookThreadTest, TheInstallRunsOnItsOwnThreadAndTheEndStopsItsLoop) {
    for (const bool taken : {true, false}) {
        std::thread::id installedOn;
        std::atomic<bool> looping{false};
        std::atomic<bool> loopEnded{false};
        {
            platform::HookThread hook(
                "test hook",
                [&] {
                    installedOn = std::this_thread::get_id();
                    return taken;
                },
                [&](std::stop_token stop) {
                    looping = true;
                    std::mutex mutex;
                    std::condition_variable_any never;
                    std::unique_lock lock(mutex);
                    never.wait(lock, stop, [] { return false; });
                    loopEnded = true;
                });
            EXPECT_EQ(hook.start(), taken);
            EXPECT_NE(installedOn, std::this_thread::get_id());
        }
        EXPECT_EQ(looping.load(), taken);
        EXPECT_EQ(loopEnded.load(), taken) << "the end stopped the loop and joined it";
    }
}

}  // namespace
}  // namespace v270
