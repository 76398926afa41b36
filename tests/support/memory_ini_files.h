#pragma once

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <map>
#include <span>
#include <vector>

#include "platform/file_system.h"
#include "settings/ini_files.h"

namespace v270::test {

// Files kept in memory, by path: a missing one reads as missing, a replace always succeeds and
// nothing ever waits.
class MemoryFileSystem : public platform::FileSystem {
  public:
    platform::FileResult read(const std::filesystem::path& file, size_t limit,
                              std::vector<std::byte>& bytes) override {
        const auto found = stored.find(file);
        if (found == stored.end())
            return {platform::FileResult::Outcome::Missing, u"missing"};
        const std::span<const std::byte> whole = found->second;
        const auto start = whole.first(std::min(whole.size(), limit));
        bytes.assign(start.begin(), start.end());
        return {};
    }
    platform::FileResult replace(const std::filesystem::path& target,
                                 std::span<const std::byte> contents) override {
        stored[target].assign(contents.begin(), contents.end());
        return {};
    }
    void wait(std::chrono::milliseconds) override {}

    std::map<std::filesystem::path, std::vector<std::byte>> stored;
};

// The settings files in memory, with the rules of the files on disk. The settings stores run on
// it without touching the file system, thousands of times a second.
class MemoryIniFiles final : private MemoryFileSystem, public IniFiles {
  public:
    MemoryIniFiles() : IniFiles(static_cast<MemoryFileSystem&>(*this)) {}

    void put(const std::filesystem::path& file, std::span<const std::byte> bytes) {
        stored[file].assign(bytes.begin(), bytes.end());
    }
    // The file's bytes; empty when it is missing.
    std::vector<std::byte> bytes(const std::filesystem::path& file) const {
        const auto found = stored.find(file);
        return found == stored.end() ? std::vector<std::byte>{} : found->second;
    }
    bool exists(const std::filesystem::path& file) const { return stored.contains(file); }
};

}  // namespace v270::test
