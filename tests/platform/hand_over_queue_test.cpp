#include "platform/hand_over_queue.h"

#include <gtest/gtest.h>

#include <thread>

namespace v270::platform {
namespace {

TEST(HandOverQueueTest, OneWakeUpPerBatchItemsInOrderAndABoundOnWhatWaits) {
    HandOverQueue<int> queue(3);
    EXPECT_TRUE(queue.takeAll().empty()) << "a wake-up with nothing handed over";
    EXPECT_TRUE(queue.push(1));
    EXPECT_FALSE(queue.push(2)) << "already woken";
    EXPECT_FALSE(queue.push(3));
    EXPECT_FALSE(queue.push(4)) << "dropped";
    EXPECT_EQ(queue.takeAll(), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(queue.takeAll().empty());
    EXPECT_TRUE(queue.push(5)) << "taken: the next one wakes again";
}

// Handed over from another thread: every item arrives once, in order, and each batch was woken.
TEST(HandOverQueueTest, ItemsFromAnotherThreadArriveOnceInOrder) {
    constexpr int kItems = 20000;
    HandOverQueue<int> queue(kItems);
    std::atomic<int> wakeUps{0};
    std::jthread giver([&] {
        for (int i = 0; i < kItems; ++i) {
            if (queue.push(i))
                ++wakeUps;
        }
    });
    std::vector<int> taken;
    int batches = 0;
    while (taken.size() < static_cast<size_t>(kItems)) {
        const std::vector<int> batch = queue.takeAll();
        batches += batch.empty() ? 0 : 1;
        taken.insert(taken.end(), batch.begin(), batch.end());
    }
    for (int i = 0; i < kItems; ++i)
        ASSERT_EQ(taken[static_cast<size_t>(i)], i);
    giver.join();
    EXPECT_EQ(wakeUps.load(), batches);
}

}  // namespace
}  // namespace v270::platform
