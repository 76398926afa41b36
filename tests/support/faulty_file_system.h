#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"

namespace v270::test {

// The disk, whose reads and replaces of chosen files fail a given number of times, as a file
// held by a scanner ("Sharing violation.") or on a full disk ("There is not enough space.")
// does. Waits are never taken.
class FaultyFileSystem final : public platform::FileSystem {
  public:
    using Outcome = platform::FileResult::Outcome;
    static constexpr int kAlways = -1;

    // The next `times` reads (or replaces) of `file` fail as `outcome` says; kAlways: every one.
    void failReads(const std::filesystem::path& file, int times, Outcome outcome = Outcome::Busy) {
        const std::lock_guard lock(mutex_);
        failures_[{file, true}] = {times, outcome};
    }
    void failReplaces(const std::filesystem::path& file, int times,
                      Outcome outcome = Outcome::Busy) {
        const std::lock_guard lock(mutex_);
        failures_[{file, false}] = {times, outcome};
    }

    platform::FileResult read(const std::filesystem::path& file, size_t limit,
                              std::vector<std::byte>& bytes) override {
        const platform::FileResult failure = take(file, true);
        return failure.ok() ? disk_.read(file, limit, bytes) : failure;
    }
    platform::FileResult replace(const std::filesystem::path& target,
                                 std::span<const std::byte> contents) override {
        const platform::FileResult failure = take(target, false);
        return failure.ok() ? disk_.replace(target, contents) : failure;
    }
    void wait(std::chrono::milliseconds) override {}

  private:
    platform::FileResult take(const std::filesystem::path& file, bool reading) {
        const std::lock_guard lock(mutex_);
        auto& [times, outcome] = failures_[{file, reading}];
        if (times == 0)
            return {};
        if (times > 0)
            --times;
        return {outcome,
                outcome == Outcome::Busy ? u"Sharing violation." : u"There is not enough space."};
    }

    platform::SystemFileSystem disk_;
    std::mutex mutex_;
    std::map<std::pair<std::filesystem::path, bool>, std::pair<int, Outcome>> failures_;
};

}  // namespace v270::test
