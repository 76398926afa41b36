#pragma once

#include <filesystem>
#include <mutex>
#include <optional>
#include <utility>

#include "platform/message_boxes.h"
#include "settings/ini_files.h"
#include "settings/macro.h"

namespace v270 {

// The macro table of the process, shared by the user-interface thread (loading, saving,
// recording, editing) and the action executor (playback). Every access runs under one lock;
// playback takes a copy of the record it plays.
class MacroStore {
  public:
    MacroStore(IniFiles& files, platform::MessageBoxes& messages)
        : files_(files), messages_(messages) {}

    // The macro file of the interface language, which the repeat-count save writes; set at
    // start-up and by the language switch.
    void setFilePath(std::filesystem::path file) {
        const std::lock_guard lock(mutex_);
        filePath_ = std::move(file);
    }
    std::filesystem::path filePath() const {
        const std::lock_guard lock(mutex_);
        return filePath_;
    }

    // Replaces the macros with those of `file`. A missing file shows "找不到配置文件" and
    // leaves an empty table. A "macroNum" outside 0..12 is held to that range. A file that
    // cannot be read is told and changes nothing: returns false. When it is the macro file of
    // the language, the table is then never saved there until a later read of it succeeds.
    bool loadMacros(const std::filesystem::path& file);
    // The same with the file's content already read: what the file version does after its
    // existence test.
    void loadMacros(const IniDocument& document);

    // Writes "macroNum" and the records of every macro in use, in one file replace. Keys of a
    // former, larger table stay in the file. Returns false, with the file unchanged and the
    // problem told, when it cannot be written, or is the file of the language and the last read
    // of it failed.
    bool saveMacros(const std::filesystem::path& file);

    MacroTable table() const {
        const std::lock_guard lock(mutex_);
        return table_;
    }

    // A copy of macro `index`, or nullopt when no such macro is in use.
    std::optional<MacroRecord> macro(int index) const;

    int16_t macroCount() const {
        const std::lock_guard lock(mutex_);
        return table_.macroCount;
    }

    // Runs `change` on the table under the lock and returns what it returns. The table then
    // has edits its file does not hold.
    template <typename Change>
    decltype(auto) edit(Change&& change) {
        const std::lock_guard lock(mutex_);
        unsaved_ = true;
        return std::forward<Change>(change)(table_);
    }

    // Makes macro `index` the current one, the advanced page's selection; not an edit.
    void select(int32_t index) {
        const std::lock_guard lock(mutex_);
        table_.currentMacro = index;
    }

    // Whether the table was edited since it was last loaded or saved to its own file.
    bool unsavedEdits() const {
        const std::lock_guard lock(mutex_);
        return unsaved_;
    }

  private:
    IniFiles& files_;
    platform::MessageBoxes& messages_;
    mutable std::mutex mutex_;
    MacroTable table_;
    std::filesystem::path filePath_;
    bool unsaved_ = false;
    // Why the last read of the language's file failed, while the table holds what it held
    // before: saving it there would replace that file's macros.
    std::optional<FileProblem> unread_;
};

}  // namespace v270
