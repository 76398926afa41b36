#include "settings/ini_files.h"

#include <algorithm>
#include <fstream>

#include "platform/file_system.h"

namespace v270 {

IniFiles::ReadResult IniFiles::readBytes(const std::filesystem::path& file,
                                         std::vector<std::byte>& bytes) {
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return ReadResult::Missing;
    if (error || !std::filesystem::is_regular_file(status))
        return ReadResult::Failed;
    std::ifstream stream(file, std::ios::binary);
    if (!stream)
        return ReadResult::Failed;
    // One byte more than the cap tells a file at the cap from a larger one. The buffer grows by
    // chunks, so that a small file costs a small buffer.
    constexpr size_t kChunk = 64u << 10;
    const size_t limit = static_cast<size_t>(kMaxFileBytes) + 1;
    bytes.clear();
    while (bytes.size() < limit) {
        const size_t done = bytes.size();
        const size_t wanted = std::min(kChunk, limit - done);
        bytes.resize(done + wanted);
        stream.read(reinterpret_cast<char*>(bytes.data() + done),
                    static_cast<std::streamsize>(wanted));
        bytes.resize(done + static_cast<size_t>(stream.gcount()));
        if (bytes.size() < done + wanted)
            break;
    }
    if (stream.bad())
        return ReadResult::Failed;
    if (bytes.size() > kMaxFileBytes) {
        bytes.resize(static_cast<size_t>(kMaxFileBytes));
        return ReadResult::Truncated;
    }
    return ReadResult::Whole;
}

IniDocument IniFiles::load(const std::filesystem::path& file) const {
    std::vector<std::byte> bytes;
    const ReadResult result = readBytes(file, bytes);
    if (result == ReadResult::Whole || result == ReadResult::Truncated) {
        return IniDocument::parse(bytes);
    }
    return IniDocument();
}

bool IniFiles::update(const std::filesystem::path& file,
                      const std::function<void(IniDocument&)>& edit) {
    const std::lock_guard lock(updateMutex_);
    std::vector<std::byte> bytes;
    IniDocument document;
    switch (readBytes(file, bytes)) {
        case ReadResult::Missing:
            break;
        case ReadResult::Whole:
            document = IniDocument::parse(bytes);
            break;
        case ReadResult::Truncated:
        case ReadResult::Failed:
            return false;
    }
    edit(document);
    if (!document.modified())
        return true;
    const std::vector<std::byte> contents = document.serialize();
    replacements_.fetch_add(1, std::memory_order_relaxed);
    return platform::replaceFileAtomically(file, contents);
}

std::u16string IniFiles::read(const std::filesystem::path& file, std::u16string_view section,
                              std::u16string_view key, size_t bufferChars) const {
    return load(file).read(section, key, bufferChars);
}

bool IniFiles::write(const std::filesystem::path& file, std::u16string_view section,
                     std::u16string_view key, std::u16string_view value) {
    bool accepted = false;
    const bool written = update(
        file, [&](IniDocument& document) { accepted = document.write(section, key, value); });
    return accepted && written;
}

}  // namespace v270
