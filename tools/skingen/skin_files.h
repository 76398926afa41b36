#pragma once

#include <cstddef>
#include <filesystem>
#include <vector>

#include "skin_description.h"

namespace v270::skingen {

// One file the generator makes, its path relative to the source tree's root.
struct GeneratedFile {
    std::filesystem::path path;
    std::vector<std::byte> bytes;
};

// The eight layout files: skins/INI_EN in ASCII, skins/INI_CN in UTF-16LE with a byte order
// mark, as the Windows profile functions read them.
std::vector<GeneratedFile> layoutFiles(const SkinDescription& skin);

// The settings that ship: data/config.ini with its start section, five profiles and the factory
// sections; the macro files beside the program (data/Macro_EN.dat, data/Macro_CN.dat) and the
// default macros of each language (skins/INI_EN/defMacro.dat, skins/INI_CN/defMacro.dat).
std::vector<GeneratedFile> dataFiles();

}  // namespace v270::skingen
