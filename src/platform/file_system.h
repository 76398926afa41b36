#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace v270::platform {

// What a read or a replace of a file met.
struct FileResult {
    enum class Outcome : uint8_t {
        Done,
        Missing,  // no such file (a read only)
        Busy,     // held by another program or refused to this one: a sharing or lock violation,
                  // access denied; a scanner or a backup tool may let go of it soon
        Failed,   // anything else: a full disk, a folder in the file's place, a bad name
    };
    Outcome outcome = Outcome::Done;
    std::u16string reason;  // the system's own words for a failure

    bool ok() const { return outcome == Outcome::Done; }
};

// Reads the first `limit` bytes of the file (all of a shorter one) into `bytes`. The file stays
// open to others for reading, writing and deleting while it is read.
FileResult readFileStart(const std::filesystem::path& file, size_t limit,
                         std::vector<std::byte>& bytes);

// Replaces the file at `target` with `contents` so that a crash at any moment leaves either the
// old file or the new one, never a truncated one: the bytes go to a temporary file beside the
// target, are flushed to disk, and the temporary file is renamed over the target. Fails, with
// the target untouched, when any step fails. A temporary file that a killed replace left never
// stops a later one (see removeStaleTemporaries).
FileResult replaceFileAtomically(const std::filesystem::path& target,
                                 std::span<const std::byte> contents);

// The settings files' road to the disk: one read, one replace, and the wait before trying a
// busy file again. Tests give a fake.
class FileSystem {
  public:
    virtual ~FileSystem() = default;
    virtual FileResult read(const std::filesystem::path& file, size_t limit,
                            std::vector<std::byte>& bytes) = 0;
    virtual FileResult replace(const std::filesystem::path& target,
                               std::span<const std::byte> contents) = 0;
    virtual void wait(std::chrono::milliseconds duration) = 0;
};

// The system's own files.
class SystemFileSystem final : public FileSystem {
  public:
    FileResult read(const std::filesystem::path& file, size_t limit,
                    std::vector<std::byte>& bytes) override {
        return readFileStart(file, limit, bytes);
    }
    FileResult replace(const std::filesystem::path& target,
                       std::span<const std::byte> contents) override {
        return replaceFileAtomically(target, contents);
    }
    void wait(std::chrono::milliseconds duration) override {
        std::this_thread::sleep_for(duration);
    }
};

// The temporary files of `target`'s replaces lie beside it, named "." + its name + ".tmp-" +
// process id + "-" + a counter of the process. A process that gets the id of a killed one may
// find its first choices taken, and takes the next.
inline std::filesystem::path temporaryNamePrefixOf(const std::filesystem::path& target) {
    std::filesystem::path name(".");
    name += target.filename();
    name += ".tmp-";
    return name;
}

inline std::filesystem::path temporaryFileOf(const std::filesystem::path& target,
                                             uint64_t processId, uint64_t counter) {
    std::filesystem::path name = temporaryNamePrefixOf(target);
    name += std::to_string(processId) + "-" + std::to_string(counter);
    return target.parent_path() / name;
}

// Loading never reads a temporary file, but a replace killed before its rename leaves one
// behind. Each replace first removes those of its target older than this: no replace runs that
// long, and one that did would only fail, its target untouched.
inline constexpr std::chrono::minutes kStaleTemporaryAge{10};

inline void removeStaleTemporaries(const std::filesystem::path& target) {
    namespace fs = std::filesystem;
    const fs::path::string_type prefix = temporaryNamePrefixOf(target).native();
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const auto now = fs::file_time_type::clock::now();
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (!entry->path().filename().native().starts_with(prefix))
            continue;
        std::error_code ignored;
        const auto written = entry->last_write_time(ignored);
        if (!ignored && now - written > kStaleTemporaryAge)
            fs::remove(entry->path(), ignored);
    }
}

// The full path of the running executable, however long it is.
std::filesystem::path currentModulePath();

}  // namespace v270::platform
