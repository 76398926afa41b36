#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string_view>

#include "platform/message_boxes.h"
#include "settings/ini_files.h"
#include "settings/profile_store.h"
#include "ui/skin_record.h"
#include "ui/skin_tables.h"

namespace v270 {

// The layout files of the skin, one set per language, and the loaders that fill the layout
// tables from them. Owned by the main window, which shows its messages and whose close
// operation runs when a layout file is missing.
class SkinLoader {
  public:
    using CloseOperation = std::function<void()>;

    SkinLoader(IniFiles& files, platform::MessageBoxes& messages, CloseOperation closeMainWindow,
               std::filesystem::path skinFolder, const ProfileStore& settings, SkinTables& tables);

    // One record, read as the window reads a single value: a missing file shows
    // "找不到配置文件" and runs the close operation, and then reads as an empty value; a value
    // with more than six commas shows "加载ini错误！" and is split all the same.
    SkinRecord ReadSkinRecord(const std::filesystem::path& file, std::u16string_view section,
                              int32_t index);

    // Each loader picks the English or the Chinese file by the interface language at the time
    // of the call, reads its keys in increasing order and overwrites its tables. A missing file
    // is reported once per loader call, not once per record: one message, then the close
    // operation, and the loader's tables read as empty entries.
    void LoadMainSkin();
    void LoadColourSkin();
    void LoadAdvancedSkin();
    void LoadWarningSkin();

    // The file that a loader reads for the language.
    enum class LayoutFile { Main, Colour, Advanced, Warning };
    std::filesystem::path layoutPath(LayoutFile file, bool english) const;

    const SkinTables& tables() const { return tables_; }

  private:
    // The file of `which` in the current language, as a document; empty, with the message and
    // the close operation, when the file is missing.
    IniDocument openLayout(LayoutFile which);
    SkinRecord readRecord(const IniDocument& document, std::u16string_view section, int32_t index);
    void readItems(const IniDocument& document, std::span<SkinItem> items);
    bool english() const { return settings_.englishUi() != 0; }

    IniFiles& files_;
    platform::MessageBoxes& messages_;
    CloseOperation closeMainWindow_;
    std::filesystem::path skinFolder_;
    const ProfileStore& settings_;
    SkinTables& tables_;
};

}  // namespace v270
