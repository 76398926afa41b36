#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <utility>

#include "settings/config_profile.h"
#include "settings/ini_files.h"

namespace v270 {

// The process-wide settings state: the working copy of the current profile, the current slot
// and the interface language, with the operations that move profiles between memory and
// config.ini (or an exported settings file). The user-interface thread and the action executor
// both use it; the profile and the slot are guarded by one lock, the language is atomic.
class ProfileStore {
  public:
    ProfileStore(IniFiles& files, std::filesystem::path configFilePath)
        : files_(files), configFilePath_(std::move(configFilePath)) {}

    const std::filesystem::path& configFilePath() const { return configFilePath_; }

    // The start-up reading of "Init" from one read of config.ini: "CurConfig" (a slot outside
    // 1..5 selects slot 1), then the language, then the current profile. A config.ini that
    // exists but cannot be read gives the program as it ships (English, the factory profile in
    // slot 1), told; the profile is then never saved over the file until a later read of it
    // succeeds. Returns false then.
    bool readStartupSettings();

    // Reads section "Config" + slot (or the factory section, with `fromReset`) of `file` into
    // the working copy. Does not change currentConfig. A file that cannot be read is told and
    // changes nothing: returns false.
    bool loadProfile(const std::filesystem::path& file, int32_t slot, bool fromReset);

    // Writes the working copy into section "Config" + slot of `file`, in one file replace.
    // Returns false, with the file unchanged and the problem told, when it cannot be written, or
    // when it is config.ini and the working copy is not from it (see readStartupSettings). The
    // copy is taken under the file lock, so a save made meanwhile by another thread is never
    // overwritten with older values.
    bool saveProfile(const std::filesystem::path& file, int32_t slot) const;

    // Writes only "DPI_LEVEL" into section "Config" + slot.
    bool saveDpiLevel(const std::filesystem::path& file, int32_t slot) const;

    // The working copy's "DPI_LEVEL" into the current slot of config.ini; the slot and the level
    // are read together, so that a switch on another thread cannot give one slot the other's.
    bool saveCurrentDpiLevel();

    // The apply's one replace of config.ini: "CurConfig" of "Init", then the working copy into
    // the last-applied slot and into the current slot. Returns the copy it wrote, which the apply
    // sends, whether or not the file could be written.
    ConfigProfile saveForApply();

    // Section "Config" + slot of config.ini as stored, with the working copy untouched; nullopt
    // when the file cannot be read, which is told.
    std::optional<ConfigProfile> storedProfile(int32_t slot) const;

    // Writes `profile` into section "Config" + slot of config.ini, in one file replace; for the
    // current slot it becomes the working copy too, edits not yet applied replaced. Returns false,
    // with nothing changed, when the file cannot be written (told).
    bool storeProfile(int32_t slot, const ConfigProfile& profile);

    // "VER_SEL" of "Init", its low 8 bits; as the program ships (English) when the file exists
    // but cannot be read, which is told.
    uint8_t readLanguage(const std::filesystem::path& file) const;

    // "VER_SEL" = language, into "Init" of config.ini.
    bool saveLanguage(int32_t language) const;

    ConfigProfile profile() const {
        const std::lock_guard lock(mutex_);
        return profile_;
    }

    // Runs `change` on the working copy under the lock and returns what it returns.
    template <typename Change>
    decltype(auto) edit(Change&& change) {
        const std::lock_guard lock(mutex_);
        return std::forward<Change>(change)(profile_);
    }

    int32_t currentConfig() const {
        const std::lock_guard lock(mutex_);
        return currentConfig_;
    }
    void setCurrentConfig(int32_t slot);

    // Makes `slot` (outside 1..5: slot 1) the current slot and its section of config.ini the
    // working copy in one step, so that an apply on another thread sees the old slot with the
    // old profile or the new slot with its own, never one slot with the other's profile. A
    // config.ini that cannot be read is told and changes nothing: returns false.
    bool switchProfile(int32_t slot);

    // Non-zero is English for the interface; some choices (the factory profile 5, the macro
    // file) take English only for exactly 1.
    int32_t englishUi() const { return englishUi_.load(std::memory_order_relaxed); }
    void setEnglishUi(int32_t language) {
        englishUi_.store(language, std::memory_order_relaxed);
        languageKnown_.store(true, std::memory_order_relaxed);
    }
    // False while the language is the one the program ships with because config.ini could not
    // be read at the start: the user's may be the other.
    bool languageKnown() const { return languageKnown_.load(std::memory_order_relaxed); }

  private:
    // Whether a save of `file` is refused, which is told: config.ini, while the working copy
    // was not read from it.
    bool refused(const std::filesystem::path& file) const;
    // The working copy read from config.ini, which can be saved there again.
    void takeFromConfig(int32_t slot, const ConfigProfile& profile);

    IniFiles& files_;
    const std::filesystem::path configFilePath_;
    mutable std::mutex mutex_;
    ConfigProfile profile_;
    int32_t currentConfig_ = 1;
    // Why the working copy is not config.ini's: the start could not read it.
    std::optional<FileProblem> unreadConfig_;
    std::atomic<int32_t> englishUi_{0};
    std::atomic<bool> languageKnown_{true};
};

}  // namespace v270
