#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace v270::test {

// Another file system (the disk, by default) whose reads and replaces of chosen files fail a
// given number of times, as a file held by a scanner or on a full disk does. Waits are counted,
// never taken.
class FaultyFileSystem final : public platform::FileSystem {
  public:
    using Outcome = platform::FileResult::Outcome;
    static constexpr int kAlways = -1;

    explicit FaultyFileSystem(platform::FileSystem& files) : files_(files) {}
    FaultyFileSystem() : files_(disk_) {}

    // The next `times` reads (or replaces) of `file` fail as `outcome` says; kAlways: every one.
    void failReads(const std::filesystem::path& file, int times, Outcome outcome = Outcome::Busy) {
        const std::lock_guard lock(mutex_);
        reads_[file] = times;
        outcome_ = outcome;
    }
    void failReplaces(const std::filesystem::path& file, int times,
                      Outcome outcome = Outcome::Busy) {
        const std::lock_guard lock(mutex_);
        replaces_[file] = times;
        outcome_ = outcome;
    }
    int waits() const {
        const std::lock_guard lock(mutex_);
        return waits_;
    }

    platform::FileResult read(const std::filesystem::path& file, size_t limit,
                              std::vector<std::byte>& bytes) override {
        if (const auto failure = take(reads_, file))
            return *failure;
        return files_.read(file, limit, bytes);
    }
    platform::FileResult replace(const std::filesystem::path& target,
                                 std::span<const std::byte> contents) override {
        if (const auto failure = take(replaces_, target))
            return *failure;
        return files_.replace(target, contents);
    }
    void wait(std::chrono::milliseconds) override {
        const std::lock_guard lock(mutex_);
        ++waits_;
    }

    // What a failure says.
    static std::u16string reasonOf(Outcome outcome) {
        return outcome == Outcome::Busy ? u"Sharing violation." : u"There is not enough space.";
    }

  private:
    std::optional<platform::FileResult> take(std::map<std::filesystem::path, int>& failures,
                                             const std::filesystem::path& file) {
        const std::lock_guard lock(mutex_);
        const auto found = failures.find(file);
        if (found == failures.end() || found->second == 0)
            return std::nullopt;
        if (found->second > 0)
            --found->second;
        return platform::FileResult{outcome_, reasonOf(outcome_)};
    }

    platform::SystemFileSystem disk_;
    platform::FileSystem& files_;
    mutable std::mutex mutex_;
    std::map<std::filesystem::path, int> reads_;
    std::map<std::filesystem::path, int> replaces_;
    Outcome outcome_ = Outcome::Busy;
    int waits_ = 0;
};

}  // namespace v270::test
