#include "settings/macro_store.h"

#include <algorithm>
#include <vector>

#include "settings/macro_format.h"
#include "settings/text.h"

namespace v270 {

namespace {

constexpr size_t kCountChars = 2;

}  // namespace

bool MacroStore::loadMacros(const std::filesystem::path& file) {
    const LoadedFile loaded = files_.loadFile(file);
    if (loaded.problem) {
        {
            // The table stays as it was, which is not the content of the language's file.
            const std::lock_guard lock(mutex_);
            if (file == filePath_)
                unread_ = loaded.problem;
        }
        files_.report(*loaded.problem);
        return false;
    }
    if (loaded.missing)
        messages_.show(u"找不到配置文件");
    loadMacros(loaded.document);
    return true;
}

void MacroStore::loadMacros(const IniDocument& document) {
    const int32_t stored =
        parseLeadingInt(document.read(kMacroSection, kMacroCountKey, kCountChars + 1));
    const auto count = static_cast<int16_t>(
        std::clamp<int32_t>(static_cast<int16_t>(stored & 0xFFFF), 0, kMaxMacros));
    std::vector<MacroRecord> records;
    records.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        records.push_back(
            parseMacro(document.read(kMacroSection, formatInt(i), kMacroRecordChars + 1)));
    }

    const std::lock_guard lock(mutex_);
    unread_.reset();
    table_.macroCount = count;
    table_.currentMacro = count > 0 ? count - 1 : 0;
    std::ranges::copy(records, table_.macroSlots.begin());
    unsaved_ = false;
}

bool MacroStore::saveMacros(const std::filesystem::path& file) {
    std::optional<FileProblem> unread;
    {
        const std::lock_guard lock(mutex_);
        if (unread_ && unread_->file == file)
            unread = unread_;
    }
    if (unread) {
        files_.report(*unread);
        return false;
    }
    const MacroTable snapshot = table();
    std::vector<std::u16string> values;
    for (int i = 0; i < snapshot.macroCount; ++i) {
        values.push_back(serializeMacro(snapshot.macroSlots[static_cast<size_t>(i)]));
    }
    const bool saved = files_.update(file, [&](IniDocument& document) {
        document.write(kMacroSection, kMacroCountKey, formatInt(snapshot.macroCount));
        for (size_t i = 0; i < values.size(); ++i) {
            document.write(kMacroSection, formatInt(static_cast<int64_t>(i)), values[i]);
        }
    });
    const std::lock_guard lock(mutex_);
    // Edits made while the file was written are still unsaved: the snapshot did not hold them.
    if (saved && file == filePath_ && table_ == snapshot)
        unsaved_ = false;
    return saved;
}

std::optional<MacroRecord> MacroStore::macro(int index) const {
    const std::lock_guard lock(mutex_);
    if (index < 0 || index >= table_.macroCount)
        return std::nullopt;
    return table_.macroSlots[static_cast<size_t>(index)];
}

}  // namespace v270
