#pragma once

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace v270::test {

// Report bytes as upper-case hex pairs separated by spaces: "07 09 01 A0".
inline std::string hex(std::span<const uint8_t> bytes) {
    std::string text;
    for (const uint8_t byte : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", byte);
        if (!text.empty())
            text += ' ';
        text += pair;
    }
    return text;
}

// One ordered record of what the fakes saw, from any thread.
class EventLog {
  public:
    void add(std::string event) {
        const std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
    }
    std::vector<std::string> events() const {
        const std::lock_guard lock(mutex_);
        return events_;
    }
    void clear() {
        const std::lock_guard lock(mutex_);
        events_.clear();
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> events_;
};

}  // namespace v270::test
