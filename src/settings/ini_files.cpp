#include "settings/ini_files.h"

#include <algorithm>

namespace v270 {

using Outcome = platform::FileResult::Outcome;

template <typename Attempt>
platform::FileResult IniFiles::whileBusy(Attempt&& attempt) const {
    platform::FileResult result = attempt();
    for (const std::chrono::milliseconds wait : kBusyWaits) {
        if (result.outcome != Outcome::Busy)
            break;
        fileSystem_.wait(wait);
        result = attempt();
    }
    return result;
}

platform::FileResult IniFiles::readBytes(const std::filesystem::path& file,
                                         std::vector<std::byte>& bytes) const {
    return whileBusy(
        [&] { return fileSystem_.read(file, static_cast<size_t>(kMaxFileBytes) + 1, bytes); });
}

void IniFiles::report(const FileProblem& problem) const {
    if (FileProblemListener* listener = listener_.load())
        listener->fileProblem(problem);
}

LoadedFile IniFiles::loadFile(const std::filesystem::path& file) const {
    std::vector<std::byte> bytes;
    const platform::FileResult result = readBytes(file, bytes);
    LoadedFile loaded;
    if (result.ok()) {
        bytes.resize(std::min(bytes.size(), static_cast<size_t>(kMaxFileBytes)));
        loaded.document = IniDocument::parse(bytes);
    } else if (result.outcome == Outcome::Missing) {
        loaded.missing = true;
    } else {
        loaded.problem = FileProblem{FileProblem::Kind::Read, file, result.reason};
    }
    return loaded;
}

IniDocument IniFiles::load(const std::filesystem::path& file) const {
    LoadedFile loaded = loadFile(file);
    if (loaded.problem)
        report(*loaded.problem);
    return std::move(loaded.document);
}

bool IniFiles::update(const std::filesystem::path& file,
                      const std::function<void(IniDocument&)>& edit) {
    std::optional<FileProblem> problem;
    {
        const std::lock_guard lock(updateMutex_);
        problem = updateLocked(file, edit);
    }
    // Told with the lock released: the telling may wait for the user.
    if (problem)
        report(*problem);
    return !problem;
}

std::optional<FileProblem> IniFiles::updateLocked(const std::filesystem::path& file,
                                                  const std::function<void(IniDocument&)>& edit) {
    std::vector<std::byte> bytes;
    const platform::FileResult read = readBytes(file, bytes);
    IniDocument document;
    if (read.ok()) {
        if (bytes.size() > kMaxFileBytes)
            return FileProblem{FileProblem::Kind::TooLarge, file, {}};
        document = IniDocument::parse(bytes);
    } else if (read.outcome != Outcome::Missing) {
        return FileProblem{FileProblem::Kind::Read, file, read.reason};
    }
    edit(document);
    if (!document.modified())
        return std::nullopt;
    const std::vector<std::byte> contents = document.serialize();
    replacements_.fetch_add(1, std::memory_order_relaxed);
    const platform::FileResult replaced =
        whileBusy([&] { return fileSystem_.replace(file, contents); });
    if (!replaced.ok())
        return FileProblem{FileProblem::Kind::Save, file, replaced.reason};
    return std::nullopt;
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
