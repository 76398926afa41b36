#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/win32/unique_handle.h"

namespace v270::platform {

namespace {

constexpr int kNameAttempts = 1024;

// Creates a new temporary file beside `target`, skipping names that are taken.
HANDLE createTemporary(const std::filesystem::path& target, std::filesystem::path& temporary) {
    static std::atomic<uint64_t> counter{0};
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary = temporaryFileOf(target, GetCurrentProcessId(), counter++);
        HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

bool writeAll(HANDLE file, std::span<const std::byte> contents) {
    size_t done = 0;
    while (done < contents.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(contents.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, contents.data() + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

}  // namespace

bool replaceFileAtomically(const std::filesystem::path& target,
                           std::span<const std::byte> contents) {
    removeStaleTemporaries(target);
    std::filesystem::path temporary;
    win32::UniqueHandle file(createTemporary(target, temporary));
    if (!file)
        return false;
    const bool written = writeAll(file.get(), contents) && FlushFileBuffers(file.get());
    file.reset();
    if (!written || !MoveFileExW(temporary.c_str(), target.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

std::filesystem::path currentModulePath() {
    // GetModuleFileNameW cuts a long path to the buffer and says so only through the returned
    // length, so the buffer grows until the whole path fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size())
            return std::filesystem::path(std::wstring(buffer.data(), length));
        if (buffer.size() >= 32768)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace v270::platform
