#include "settings/profile_store.h"

#include <optional>
#include <utility>

#include "settings/profile_format.h"
#include "settings/text.h"

namespace v270 {

namespace {

constexpr std::u16string_view kInitSection = u"Init";
constexpr std::u16string_view kCurrentConfigKey = u"CurConfig";
constexpr std::u16string_view kLanguageKey = u"VER_SEL";
constexpr size_t kValueBuffer = 5;  // four characters and the terminator

// What a config.ini that cannot be read gives: the language the program ships with.
constexpr int32_t kShippedLanguage = 1;

int32_t validSlot(int32_t slot) {
    return slot >= 1 && slot <= kProfileCount ? slot : 1;
}

// "VER_SEL" of "Init", its low 8 bits.
uint8_t languageOf(const IniDocument& document) {
    const int32_t value = parseLeadingInt(document.read(kInitSection, kLanguageKey, kValueBuffer));
    return static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFF);
}

}  // namespace

bool ProfileStore::readStartupSettings() {
    const LoadedFile config = files_.loadFile(configFilePath_);
    if (config.problem) {
        setEnglishUi(kShippedLanguage);
        languageKnown_.store(false, std::memory_order_relaxed);
        {
            const std::lock_guard lock(mutex_);
            currentConfig_ = 1;
            profile_ = builtInDefaultProfile(0);
            unreadConfig_ = config.problem;
        }
        // Told once the language of the message is known.
        files_.report(*config.problem);
        return false;
    }
    const IniDocument& document = config.document;
    setEnglishUi(languageOf(document));
    const int32_t slot =
        validSlot(parseLeadingInt(document.read(kInitSection, kCurrentConfigKey, kValueBuffer)));
    takeFromConfig(slot,
                   readProfileSection(document, profileSectionName(slot, false, englishUi())));
    return true;
}

bool ProfileStore::loadProfile(const std::filesystem::path& file, int32_t slot, bool fromReset) {
    const LoadedFile loaded = files_.loadFile(file);
    if (loaded.problem) {
        files_.report(*loaded.problem);
        return false;
    }
    const std::u16string section = profileSectionName(slot, fromReset, englishUi());
    const ConfigProfile profile = readProfileSection(loaded.document, section);
    const std::lock_guard lock(mutex_);
    profile_ = profile;
    if (file == configFilePath_)
        unreadConfig_.reset();
    return true;
}

bool ProfileStore::refused(const std::filesystem::path& file) const {
    std::optional<FileProblem> problem;
    if (file == configFilePath_) {
        const std::lock_guard lock(mutex_);
        problem = unreadConfig_;
    }
    if (problem)
        files_.report(*problem);
    return problem.has_value();
}

bool ProfileStore::saveProfile(const std::filesystem::path& file, int32_t slot) const {
    if (refused(file))
        return false;
    const std::u16string section = profileSectionName(slot, false, englishUi());
    return files_.update(
        file, [&](IniDocument& document) { writeProfileSection(document, section, profile()); });
}

bool ProfileStore::saveDpiLevel(const std::filesystem::path& file, int32_t slot) const {
    if (refused(file))
        return false;
    const std::u16string section = profileSectionName(slot, false, englishUi());
    return files_.update(file, [&](IniDocument& document) {
        document.write(section, u"DPI_LEVEL", formatInt(profile().dpiLevel));
    });
}

bool ProfileStore::saveCurrentDpiLevel() {
    if (refused(configFilePath_))
        return false;
    return files_.update(configFilePath_, [&](IniDocument& document) {
        const std::lock_guard lock(mutex_);
        document.write(profileSectionName(currentConfig_, false, englishUi()), u"DPI_LEVEL",
                       formatInt(profile_.dpiLevel));
    });
}

ConfigProfile ProfileStore::saveForApply() {
    if (refused(configFilePath_))
        return profile();
    std::optional<ConfigProfile> saved;
    files_.update(configFilePath_, [&](IniDocument& document) {
        int32_t slot = 0;
        {
            const std::lock_guard lock(mutex_);
            saved = profile_;
            slot = currentConfig_;
        }
        document.write(kInitSection, kCurrentConfigKey, formatInt(slot));
        // The last-applied slot always holds what the mouse was last told.
        writeProfileSection(document, profileSectionName(kLastAppliedSlot, false, englishUi()),
                            *saved);
        writeProfileSection(document, profileSectionName(slot, false, englishUi()), *saved);
    });
    // A file that cannot be read whole is left alone; the apply goes on all the same.
    return saved ? *saved : profile();
}

std::optional<ConfigProfile> ProfileStore::storedProfile(int32_t slot) const {
    const LoadedFile config = files_.loadFile(configFilePath_);
    if (config.problem) {
        files_.report(*config.problem);
        return std::nullopt;
    }
    return readProfileSection(config.document, profileSectionName(slot, false, englishUi()));
}

bool ProfileStore::storeProfile(int32_t slot, const ConfigProfile& profile) {
    if (refused(configFilePath_))
        return false;
    const std::u16string section = profileSectionName(slot, false, englishUi());
    // The working copy changes under the file lock, so that an apply meanwhile writes the slot
    // before or after, whole; it is put back when the file could not be written.
    std::optional<ConfigProfile> replaced;
    const bool saved = files_.update(configFilePath_, [&](IniDocument& document) {
        writeProfileSection(document, section, profile);
        const std::lock_guard lock(mutex_);
        if (currentConfig_ == slot)
            replaced = std::exchange(profile_, profile);
    });
    if (!saved && replaced) {
        const std::lock_guard lock(mutex_);
        profile_ = *replaced;
    }
    return saved;
}

uint8_t ProfileStore::readLanguage(const std::filesystem::path& file) const {
    const LoadedFile loaded = files_.loadFile(file);
    if (!loaded.problem)
        return languageOf(loaded.document);
    files_.report(*loaded.problem);
    return kShippedLanguage;
}

bool ProfileStore::saveLanguage(int32_t language) const {
    return files_.write(configFilePath_, kInitSection, kLanguageKey, formatInt(language));
}

void ProfileStore::setCurrentConfig(int32_t slot) {
    const std::lock_guard lock(mutex_);
    currentConfig_ = validSlot(slot);
}

bool ProfileStore::switchProfile(int32_t slot) {
    const int32_t valid = validSlot(slot);
    const LoadedFile config = files_.loadFile(configFilePath_);
    if (config.problem) {
        files_.report(*config.problem);
        return false;
    }
    takeFromConfig(
        valid, readProfileSection(config.document, profileSectionName(valid, false, englishUi())));
    return true;
}

void ProfileStore::takeFromConfig(int32_t slot, const ConfigProfile& profile) {
    const std::lock_guard lock(mutex_);
    currentConfig_ = slot;
    profile_ = profile;
    unreadConfig_.reset();
}

}  // namespace v270
