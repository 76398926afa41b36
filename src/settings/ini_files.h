#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "settings/ini_document.h"

namespace v270 {

// The one road to the settings files on disk (config.ini, macro files, exported files, skin
// layouts). One instance serves the whole process, so that groups of writes from the
// user-interface thread and the action executor are applied one after the other and never lose
// each other's changes. Tests and fuzz targets may keep the files in memory instead, by
// giving it another file system.
class IniFiles {
  public:
    // The system's files.
    IniFiles() : fileSystem_(systemFiles_) {}
    explicit IniFiles(platform::FileSystem& fileSystem) : fileSystem_(fileSystem) {}
    IniFiles(const IniFiles&) = delete;
    IniFiles& operator=(const IniFiles&) = delete;

    // A settings file is at most a few hundred kilobytes; anything larger is not ours. Reading
    // stops here, and a file beyond it is never rewritten, so that its tail cannot be lost.
    static constexpr std::uintmax_t kMaxFileBytes = 4u << 20;

    // The file as a document: empty when it is missing or cannot be read, and only its first
    // kMaxFileBytes when it is larger.
    IniDocument load(const std::filesystem::path& file) const;

    // Applies a group of writes to the file in one atomic replace: `edit` changes the file's
    // current content, which is then written beside it and renamed over it. Nothing is written
    // when the edit changed nothing. Returns false, with the file unchanged, when the file exists
    // but cannot be read whole, or cannot be replaced.
    bool update(const std::filesystem::path& file, const std::function<void(IniDocument&)>& edit);

    // One read, as GetPrivateProfileStringW with an empty default and a buffer of `bufferChars`.
    std::u16string read(const std::filesystem::path& file, std::u16string_view section,
                        std::u16string_view key, size_t bufferChars) const;

    // One write, as WritePrivateProfileStringW.
    bool write(const std::filesystem::path& file, std::u16string_view section,
               std::u16string_view key, std::u16string_view value);

    // How many file replaces this instance has made: a group of writes costs one.
    uint64_t replacements() const { return replacements_.load(std::memory_order_relaxed); }

  private:
    enum class ReadResult { Missing, Whole, Truncated, Failed };
    ReadResult readBytes(const std::filesystem::path& file, std::vector<std::byte>& bytes) const;

    platform::SystemFileSystem systemFiles_;
    platform::FileSystem& fileSystem_;

    std::mutex updateMutex_;
    std::atomic<uint64_t> replacements_{0};
};

}  // namespace v270
