#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

#include "platform/message_boxes.h"
#include "settings/ini_files.h"
#include "settings/profile_store.h"
#include "ui/display_scale.h"
#include "ui/skin_record.h"
#include "ui/skin_tables.h"

namespace v270 {

// The layout files of the skin, one set per language, and the loaders that fill the layout
// tables from them, scaled to the window's monitor. A missing file is the end of the program: the
// loader shows its message and reports the failure, and the caller takes the close path.
class SkinLoader {
  public:
    SkinLoader(IniFiles& files, platform::MessageBoxes& messages, std::filesystem::path skinFolder,
               const ProfileStore& settings, SkinTables& tables);

    // One record, read as the window reads a single value: a missing file shows
    // "找不到配置文件" and gives nullopt; a value with more than six commas shows
    // "加载ini错误！" and is split all the same.
    std::optional<SkinRecord> ReadSkinRecord(const std::filesystem::path& file,
                                             std::u16string_view section, int32_t index);

    // Each loader picks the English or the Chinese file by the interface language at the time
    // of the call, reads its keys in increasing order and overwrites its tables. A missing file
    // is reported once per loader call, not once per record: one message, the loader's tables
    // read as empty entries, and the loader returns false.
    bool LoadMainSkin();
    bool LoadColourSkin();
    bool LoadAdvancedSkin();
    bool LoadWarningSkin();

    // The file that a loader reads for the language.
    enum class LayoutFile { Main, Colour, Advanced, Warning };
    std::filesystem::path layoutPath(LayoutFile file, bool english) const;

    // What a loader does with its file once it is read: overwrites the tables of `which` from
    // `document` (an empty document for a missing file).
    void readLayout(LayoutFile which, const IniDocument& document);

    // The tables everyone else uses: the layout at the window's scale.
    const SkinTables& tables() const { return tables_; }
    // The layout as the files give it, in the skin's own pixels.
    const SkinTables& layoutUnits() const { return units_; }

    // Rescales the tables for a window at `scale`; the files are not read again.
    void setScale(DisplayScale scale);
    DisplayScale scale() const { return scale_; }

  private:
    // The file of `which` in the current language, as a document; nullopt, with the message,
    // when the file is missing.
    std::optional<IniDocument> openLayout(LayoutFile which);
    // openLayout, then readLayout; false for a missing file.
    bool loadLayout(LayoutFile which);
    SkinRecord readRecord(const IniDocument& document, std::u16string_view section, int32_t index);
    void readItems(const IniDocument& document, std::span<SkinItem> items);
    bool english() const { return settings_.englishUi() != 0; }

    IniFiles& files_;
    platform::MessageBoxes& messages_;
    std::filesystem::path skinFolder_;
    const ProfileStore& settings_;
    SkinTables& tables_;
    SkinTables units_;
    DisplayScale scale_;
};

}  // namespace v270
