#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "settings/ini_document.h"

namespace v270 {

// A settings file that could not be read or saved.
struct FileProblem {
    enum class Kind : uint8_t {
        Read,      // it exists but could not be read
        Save,      // its replace failed
        TooLarge,  // larger than any settings file, so never rewritten
    };
    Kind kind = Kind::Read;
    std::filesystem::path file;
    std::u16string reason;  // the system's words; empty for TooLarge

    bool operator==(const FileProblem&) const = default;
};

// Told of the settings files that could not be read or saved, once the waits for a busy file
// are over: on the thread that met the problem, with no lock of the files held.
class FileProblemListener {
  public:
    virtual ~FileProblemListener() = default;
    virtual void fileProblem(const FileProblem& problem) = 0;
};

// A settings file as read: only its first IniFiles::kMaxFileBytes when it is larger.
struct LoadedFile {
    IniDocument document;                // empty when the file is missing or could not be read
    std::optional<FileProblem> problem;  // why a file that exists could not be read
    bool missing = false;
};

// The one road to the settings files on disk (config.ini, macro files, exported files, skin
// layouts). One instance serves the whole process, so that groups of writes from the
// user-interface thread and the action executor are applied one after the other and never lose
// each other's changes. Tests and fuzz targets may keep the files in memory instead, or make
// them fail, by giving it another file system.
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

    // A busy file (held by a scanner or a backup tool, as at logon) is tried again after each of
    // these waits: for about a second in all.
    static constexpr std::array<std::chrono::milliseconds, 6> kBusyWaits = {
        std::chrono::milliseconds(20),  std::chrono::milliseconds(40),
        std::chrono::milliseconds(80),  std::chrono::milliseconds(160),
        std::chrono::milliseconds(320), std::chrono::milliseconds(400)};

    // Who hears of the files that could not be read or saved; none by default. Set before the
    // files are used from more than one thread.
    void setProblemListener(FileProblemListener* listener) { listener_.store(listener); }
    // Tells the listener of `problem`, as the stores do when they refuse a save themselves.
    void report(const FileProblem& problem) const;

    // The file as read. A problem is returned, not told: the caller tells it when it is ready.
    LoadedFile loadFile(const std::filesystem::path& file) const;

    // The file as a document: empty when it is missing or cannot be read (which is told).
    IniDocument load(const std::filesystem::path& file) const;

    // Applies a group of writes to the file in one atomic replace: `edit` changes the file's
    // current content, which is then written beside it and renamed over it. Nothing is written
    // when the edit changed nothing. Returns false, with the file unchanged and the problem told,
    // when the file exists but cannot be read whole, or cannot be replaced.
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
    // Runs `attempt` until it meets no busy file, or the waits are over.
    template <typename Attempt>
    platform::FileResult whileBusy(Attempt&& attempt) const;
    // The file read, one byte beyond the cap so that a larger file shows.
    platform::FileResult readBytes(const std::filesystem::path& file,
                                   std::vector<std::byte>& bytes) const;
    std::optional<FileProblem> updateLocked(const std::filesystem::path& file,
                                            const std::function<void(IniDocument&)>& edit);

    platform::SystemFileSystem systemFiles_;
    platform::FileSystem& fileSystem_;
    std::atomic<FileProblemListener*> listener_{nullptr};

    std::mutex updateMutex_;
    std::atomic<uint64_t> replacements_{0};
};

}  // namespace v270
