#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <string>
#include <system_error>

#include "platform/file_system.h"

namespace v270::platform {

namespace {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { close(); }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    bool close() {
        if (fd_ < 0)
            return true;
        const bool ok = ::close(fd_) == 0;
        fd_ = -1;
        return ok;
    }

  private:
    int fd_;
};

bool writeAll(int fd, std::span<const std::byte> contents) {
    size_t done = 0;
    while (done < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            errno = EIO;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

constexpr int kNameAttempts = 1024;

// A failure as errno tells it, in the system's words (plain ASCII from the C library).
FileResult failureOf(int error, bool missingIsFailure = false) {
    FileResult result;
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            result.outcome =
                missingIsFailure ? FileResult::Outcome::Failed : FileResult::Outcome::Missing;
            break;
        case EACCES:
        case EPERM:
        case EBUSY:
        case ETXTBSY:
        case EAGAIN:
            result.outcome = FileResult::Outcome::Busy;
            break;
        default:
            result.outcome = FileResult::Outcome::Failed;
            break;
    }
    const std::string words = std::generic_category().message(error);
    result.reason.assign(words.begin(), words.end());
    return result;
}

// Creates a new temporary file beside `target`, skipping names that are taken.
int createTemporary(const std::filesystem::path& target, std::filesystem::path& temporary) {
    static std::atomic<uint64_t> counter{0};
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary = temporaryFileOf(target, static_cast<uint64_t>(::getpid()), counter++);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

}  // namespace

FileResult readFileStart(const std::filesystem::path& file, size_t limit,
                         std::vector<std::byte>& bytes) {
    bytes.clear();
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid())
        return failureOf(errno);
    // The buffer grows by chunks, so that a small file costs a small buffer.
    constexpr size_t kChunk = 64u << 10;
    while (bytes.size() < limit) {
        const size_t done = bytes.size();
        bytes.resize(done + std::min(kChunk, limit - done));
        const ssize_t n = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            bytes.resize(done);
            continue;
        }
        if (n < 0) {
            const int error = errno;
            bytes.clear();
            return failureOf(error, true);
        }
        bytes.resize(done + static_cast<size_t>(n));
        if (n == 0)
            break;
    }
    return {};
}

FileResult replaceFileAtomically(const std::filesystem::path& target,
                                 std::span<const std::byte> contents) {
    removeStaleTemporaries(target);
    std::filesystem::path temporary;
    FileDescriptor file(createTemporary(target, temporary));
    if (!file.valid())
        return failureOf(errno, true);
    int error = 0;
    if (!writeAll(file.get(), contents) || ::fsync(file.get()) != 0)
        error = errno;
    if (!file.close() && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return failureOf(error, true);
    }
    // The rename itself reaches the disk with the folder's entry.
    const std::filesystem::path folder =
        target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.valid())
        ::fsync(directory.get());
    return {};
}

std::filesystem::path currentModulePath() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : path;
}

}  // namespace v270::platform
