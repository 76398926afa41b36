#pragma once

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <span>
#include <vector>

#include "settings/ini_files.h"

namespace v270::test {

// Settings files kept in memory, by path, with the rules of the files on disk: a missing file
// reads as empty, only the first kMaxFileBytes of a larger one are read and such a file is never
// rewritten, and a group of writes that changed nothing writes nothing. The settings stores run
// on it without touching the file system, thousands of times a second.
class MemoryIniFiles final : public IniFiles {
  public:
    void put(const std::filesystem::path& file, std::span<const std::byte> bytes) {
        files_[file].assign(bytes.begin(), bytes.end());
    }
    // The file's bytes; empty when it is missing.
    std::vector<std::byte> bytes(const std::filesystem::path& file) const {
        const auto found = files_.find(file);
        return found == files_.end() ? std::vector<std::byte>{} : found->second;
    }
    bool exists(const std::filesystem::path& file) const { return files_.contains(file); }

    IniDocument load(const std::filesystem::path& file) const override {
        const auto found = files_.find(file);
        if (found == files_.end())
            return IniDocument();
        const std::span<const std::byte> whole = found->second;
        return IniDocument::parse(whole.first(std::min<size_t>(whole.size(), kMaxFileBytes)));
    }

    bool update(const std::filesystem::path& file,
                const std::function<void(IniDocument&)>& edit) override {
        const auto found = files_.find(file);
        if (found != files_.end() && found->second.size() > kMaxFileBytes)
            return false;
        IniDocument document = found == files_.end() ? IniDocument() : load(file);
        edit(document);
        if (document.modified())
            files_[file] = document.serialize();
        return true;
    }

  private:
    std::map<std::filesystem::path, std::vector<std::byte>> files_;
};

}  // namespace v270::test
