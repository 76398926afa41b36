#pragma once

#include <mutex>
#include <utility>
#include <vector>

namespace v270::test {

// An ordered list that any thread may add to, read whole or clear: what the recording fakes
// keep instead of showing or doing.
template <typename Entry>
class RecordingList {
  public:
    void add(Entry entry) {
        const std::lock_guard lock(mutex_);
        entries_.push_back(std::move(entry));
    }
    std::vector<Entry> entries() const {
        const std::lock_guard lock(mutex_);
        return entries_;
    }
    void clear() {
        const std::lock_guard lock(mutex_);
        entries_.clear();
    }

  private:
    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
};

}  // namespace v270::test
