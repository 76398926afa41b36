#include "ui/skin_loader.h"

#include <fstream>
#include <utility>

#include "settings/text.h"
#include "ui/skin_scaling.h"

namespace v270 {

namespace {

constexpr std::u16string_view kItemSection = u"BUTTONPOS";
constexpr std::u16string_view kFunctionSection = u"FUN_STRING";
constexpr std::u16string_view kEditSection = u"EDIT";
constexpr std::u16string_view kListSection = u"MACRODISPLAY";
constexpr int32_t kRepeatEditKey = 3;
constexpr int32_t kNameEditKey = 4;
constexpr int32_t kMacroListKey = 1;
constexpr int32_t kStepListKey = 2;

bool canOpen(const std::filesystem::path& file) {
    const std::ifstream stream(file, std::ios::binary);
    return stream.is_open();
}

}  // namespace

SkinLoader::SkinLoader(IniFiles& files, platform::MessageBoxes& messages,
                       std::filesystem::path skinFolder, const ProfileStore& settings,
                       SkinTables& tables)
    : files_(files),
      messages_(messages),
      skinFolder_(std::move(skinFolder)),
      settings_(settings),
      tables_(tables) {}

std::filesystem::path SkinLoader::layoutPath(LayoutFile file, bool english) const {
    const char* folder = english ? "INI_EN" : "INI_CN";
    const char* name = "";
    switch (file) {
        case LayoutFile::Main:
            name = english ? "skin_main_en.ini" : "skin_main.ini";
            break;
        case LayoutFile::Colour:
            name = english ? "skin_color_en.ini" : "skin_color.ini";
            break;
        case LayoutFile::Advanced:
            name = english ? "skin_advance_en.ini" : "skin_advance.ini";
            break;
        case LayoutFile::Warning:
            name = english ? "LBWarning_en.ini" : "LBWarning.ini";
            break;
    }
    return skinFolder_ / folder / name;
}

std::optional<SkinRecord> SkinLoader::ReadSkinRecord(const std::filesystem::path& file,
                                                     std::u16string_view section, int32_t index) {
    if (!canOpen(file)) {
        messages_.show(kSkinFileMissingMessage);
        return std::nullopt;
    }
    return readRecord(files_.load(file), section, index);
}

SkinRecord SkinLoader::readRecord(const IniDocument& document, std::u16string_view section,
                                  int32_t index) {
    const std::u16string value = document.read(section, formatInt(index), kSkinValueBuffer);
    if (commaCount(value) > kMaxSkinRecordCommas)
        messages_.show(kSkinValueMalformedMessage);
    return splitSkinRecord(value);
}

std::optional<IniDocument> SkinLoader::openLayout(LayoutFile which) {
    const std::filesystem::path file = layoutPath(which, english());
    if (canOpen(file))
        return files_.load(file);
    messages_.show(kSkinFileMissingMessage);
    return std::nullopt;
}

void SkinLoader::readItems(const IniDocument& document, std::span<SkinItem> items) {
    for (size_t i = 0; i < items.size(); ++i) {
        items[i] = readRecord(document, kItemSection, static_cast<int32_t>(i)).item();
    }
}

void SkinLoader::readLayout(LayoutFile which, const IniDocument& document) {
    switch (which) {
        case LayoutFile::Main:
            readItems(document, units_.mainItems);
            for (size_t k = 1; k <= kFunctionNameCount; ++k) {
                units_.functionNames[k - 1] =
                    readRecord(document, kFunctionSection, static_cast<int32_t>(k)).fields[0];
            }
            break;
        case LayoutFile::Colour:
            readItems(document, units_.colourItems);
            break;
        case LayoutFile::Advanced:
            readItems(document, units_.advancedItems);
            units_.repeatEditRect = readRecord(document, kEditSection, kRepeatEditKey).rect();
            units_.nameEditRect = readRecord(document, kEditSection, kNameEditKey).rect();
            units_.macroListRect = readRecord(document, kListSection, kMacroListKey).rect();
            units_.stepListRect = readRecord(document, kListSection, kStepListKey).rect();
            break;
        case LayoutFile::Warning:
            readItems(document, units_.warningItems);
            break;
    }
    tables_ = scaledTables(units_, scale_);
}

void SkinLoader::setScale(DisplayScale scale) {
    scale_ = scale;
    tables_ = scaledTables(units_, scale_);
}

bool SkinLoader::loadLayout(LayoutFile which) {
    const std::optional<IniDocument> layout = openLayout(which);
    readLayout(which, layout ? *layout : IniDocument());
    return layout.has_value();
}

bool SkinLoader::LoadMainSkin() {
    return loadLayout(LayoutFile::Main);
}

bool SkinLoader::LoadColourSkin() {
    return loadLayout(LayoutFile::Colour);
}

bool SkinLoader::LoadAdvancedSkin() {
    return loadLayout(LayoutFile::Advanced);
}

bool SkinLoader::LoadWarningSkin() {
    return loadLayout(LayoutFile::Warning);
}

}  // namespace v270
