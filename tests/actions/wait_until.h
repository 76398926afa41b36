#pragma once

#include <chrono>
#include <thread>

namespace v270::test {

// Waits for `condition` to hold, checking every millisecond, for at most `limit`; returns
// whether it came. The limit only keeps a broken build from hanging.
template <typename Condition>
bool waitUntil(Condition condition, std::chrono::seconds limit = std::chrono::seconds(20)) {
    const auto giveUp = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > giveUp)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace v270::test
