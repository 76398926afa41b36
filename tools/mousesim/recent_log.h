#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <utility>

// The newest entries of a record that grows with every report a client sends or a command
// delivers. Whatever clients do, it holds at most its entry limit (kMaxEntries unless set) and
// kMaxBytes of report bytes together (the newest entry always, however long); older entries go,
// and are counted.
namespace v270::mousesim {

template <typename Entry>  // with a `bytes` container
class RecentLog {
  public:
    static constexpr size_t kMaxEntries = 1024;
    static constexpr size_t kMaxBytes = size_t{1} << 20;

    // A test that checks every report of a long run keeps more.
    void setMaxEntries(size_t maxEntries) { maxEntries_ = maxEntries; }

    void push(Entry entry) {
        bytes_ += entry.bytes.size();
        entries_.push_back(std::move(entry));
        while (entries_.size() > maxEntries_ || (bytes_ > kMaxBytes && entries_.size() > 1)) {
            bytes_ -= entries_.front().bytes.size();
            entries_.pop_front();
            ++dropped_;
        }
    }
    void clear() {
        entries_.clear();
        bytes_ = 0;
        dropped_ = 0;
    }

    const std::deque<Entry>& entries() const { return entries_; }
    // Entries dropped to keep within the bounds since the start or the last clear().
    uint64_t dropped() const { return dropped_; }

  private:
    std::deque<Entry> entries_;
    size_t maxEntries_ = kMaxEntries;
    size_t bytes_ = 0;
    uint64_t dropped_ = 0;
};

}  // namespace v270::mousesim
