#include "settings/ini_files.h"

namespace v270 {

IniFiles::ReadResult IniFiles::readBytes(const std::filesystem::path& file,
                                         std::vector<std::byte>& bytes) const {
    // One byte more than the cap tells a file at the cap from a larger one.
    const platform::FileResult result =
        fileSystem_.read(file, static_cast<size_t>(kMaxFileBytes) + 1, bytes);
    if (result.outcome == platform::FileResult::Outcome::Missing)
        return ReadResult::Missing;
    if (!result.ok())
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
    return fileSystem_.replace(file, contents).ok();
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
