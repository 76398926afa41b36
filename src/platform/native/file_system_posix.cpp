#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

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
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

constexpr int kNameAttempts = 1024;

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

bool replaceFileAtomically(const std::filesystem::path& target,
                           std::span<const std::byte> contents) {
    removeStaleTemporaries(target);
    std::filesystem::path temporary;
    FileDescriptor file(createTemporary(target, temporary));
    if (!file.valid())
        return false;
    const bool written = writeAll(file.get(), contents) && ::fsync(file.get()) == 0;
    if (!file.close() || !written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself reaches the disk with the folder's entry.
    const std::filesystem::path folder =
        target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.valid())
        ::fsync(directory.get());
    return true;
}

std::filesystem::path currentModulePath() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : path;
}

}  // namespace v270::platform
