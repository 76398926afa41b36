#include "settings/profile_store.h"

#include <optional>

#include "settings/profile_format.h"
#include "settings/text.h"

namespace v270 {

namespace {

constexpr std::u16string_view kInitSection = u"Init";
constexpr std::u16string_view kCurrentConfigKey = u"CurConfig";
constexpr std::u16string_view kLanguageKey = u"VER_SEL";
constexpr size_t kValueBuffer = 5;  // four characters and the terminator

int32_t validSlot(int32_t slot) {
    return slot >= 1 && slot <= kProfileCount ? slot : 1;
}

}  // namespace

void ProfileStore::readStartupSettings() {
    const IniDocument document = files_.load(configFilePath_);
    setEnglishUi(readLanguage(configFilePath_));
    switchProfile(parseLeadingInt(document.read(kInitSection, kCurrentConfigKey, kValueBuffer)));
}

void ProfileStore::loadProfile(const std::filesystem::path& file, int32_t slot, bool fromReset) {
    const std::u16string section = profileSectionName(slot, fromReset, englishUi());
    const ConfigProfile loaded = readProfileSection(files_.load(file), section);
    const std::lock_guard lock(mutex_);
    profile_ = loaded;
}

bool ProfileStore::saveProfile(const std::filesystem::path& file, int32_t slot) const {
    const std::u16string section = profileSectionName(slot, false, englishUi());
    return files_.update(
        file, [&](IniDocument& document) { writeProfileSection(document, section, profile()); });
}

bool ProfileStore::saveDpiLevel(const std::filesystem::path& file, int32_t slot) const {
    const std::u16string section = profileSectionName(slot, false, englishUi());
    return files_.update(file, [&](IniDocument& document) {
        document.write(section, u"DPI_LEVEL", formatInt(profile().dpiLevel));
    });
}

bool ProfileStore::saveCurrentDpiLevel() {
    return files_.update(configFilePath_, [&](IniDocument& document) {
        const std::lock_guard lock(mutex_);
        document.write(profileSectionName(currentConfig_, false, englishUi()), u"DPI_LEVEL",
                       formatInt(profile_.dpiLevel));
    });
}

ConfigProfile ProfileStore::saveForApply() {
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

uint8_t ProfileStore::readLanguage(const std::filesystem::path& file) const {
    const int32_t value =
        parseLeadingInt(files_.read(file, kInitSection, kLanguageKey, kValueBuffer));
    return static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFF);
}

bool ProfileStore::saveLanguage(int32_t language) const {
    return files_.write(configFilePath_, kInitSection, kLanguageKey, formatInt(language));
}

void ProfileStore::setCurrentConfig(int32_t slot) {
    const std::lock_guard lock(mutex_);
    currentConfig_ = validSlot(slot);
}

void ProfileStore::switchProfile(int32_t slot) {
    const int32_t valid = validSlot(slot);
    const ConfigProfile loaded = readProfileSection(files_.load(configFilePath_),
                                                    profileSectionName(valid, false, englishUi()));
    const std::lock_guard lock(mutex_);
    currentConfig_ = valid;
    profile_ = loaded;
}

}  // namespace v270
