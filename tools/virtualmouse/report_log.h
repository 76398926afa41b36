#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <span>
#include <string>

namespace v270::virtualmouse {

// What passed through the bridge, with the time it passed, for the figures the measuring
// scripts print: each input report as it was handed to the driver, each feature report as it
// was taken from it. Times are microseconds of the performance counter, which under Wine is the
// host's CLOCK_MONOTONIC_RAW. It keeps the newest entries only.
class ReportLog {
  public:
    void input(std::span<const uint8_t> report);
    // A feature report taken at `time` (microsecondsNow()), with its answer.
    void feature(std::span<const uint8_t> report, bool accepted, int64_t time);

    // Every entry, oldest first, as one line of JSON, and empties the log:
    // {"input":[[time,"06 F1 00"],...],"feature":[[time,"07 10 01 01",true],...],"dropped":N}
    std::string take();

  private:
    struct Entry {
        int64_t time = 0;
        std::string bytes;
        bool accepted = false;
    };
    void add(std::deque<Entry>& entries, std::span<const uint8_t> report, bool accepted,
             int64_t time);

    static constexpr size_t kMaxEntries = 20000;
    std::mutex mutex_;
    std::deque<Entry> inputs_;
    std::deque<Entry> features_;
    uint64_t dropped_ = 0;
};

// The performance counter in microseconds.
int64_t microsecondsNow();

}  // namespace v270::virtualmouse
