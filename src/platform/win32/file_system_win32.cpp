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

// A failure as GetLastError tells it, in the system's words and language.
FileResult failureOf(DWORD error, bool missingIsFailure = false) {
    FileResult result;
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            result.outcome =
                missingIsFailure ? FileResult::Outcome::Failed : FileResult::Outcome::Missing;
            break;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_ACCESS_DENIED:
            result.outcome = FileResult::Outcome::Busy;
            break;
        default:
            result.outcome = FileResult::Outcome::Failed;
            break;
    }
    wchar_t* words = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&words), 0, nullptr);
    std::wstring text(words != nullptr ? words : L"", length);
    LocalFree(words);
    // The system's messages end with a line break.
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    if (text.empty())
        text = L"error " + std::to_wstring(error);
    result.reason.assign(text.begin(), text.end());
    return result;
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

FileResult readFileStart(const std::filesystem::path& file, size_t limit,
                         std::vector<std::byte>& bytes) {
    bytes.clear();
    win32::UniqueHandle handle(CreateFileW(file.c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
        FileResult failure = failureOf(GetLastError());
        // A folder in the file's place refuses access for good: not worth waiting for.
        const DWORD attributes = GetFileAttributesW(file.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            failure.outcome = FileResult::Outcome::Failed;
        return failure;
    }
    // The buffer grows by chunks, so that a small file costs a small buffer.
    constexpr size_t kChunk = 64u << 10;
    while (bytes.size() < limit) {
        const size_t done = bytes.size();
        bytes.resize(done + std::min(kChunk, limit - done));
        DWORD read = 0;
        if (!ReadFile(handle.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                      &read, nullptr)) {
            const DWORD error = GetLastError();
            bytes.clear();
            return failureOf(error, true);
        }
        bytes.resize(done + read);
        if (read == 0)
            break;
    }
    return {};
}

FileResult replaceFileAtomically(const std::filesystem::path& target,
                                 std::span<const std::byte> contents) {
    removeStaleTemporaries(target);
    std::filesystem::path temporary;
    win32::UniqueHandle file(createTemporary(target, temporary));
    if (!file)
        return failureOf(GetLastError(), true);
    DWORD error = ERROR_SUCCESS;
    if (!writeAll(file.get(), contents) || !FlushFileBuffers(file.get())) {
        error = GetLastError();
        if (error == ERROR_SUCCESS)
            error = ERROR_WRITE_FAULT;  // a write that took nothing
    }
    file.reset();
    if (error == ERROR_SUCCESS && !MoveFileExW(temporary.c_str(), target.c_str(),
                                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error != ERROR_SUCCESS) {
        DeleteFileW(temporary.c_str());
        return failureOf(error, true);
    }
    return {};
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
