#pragma once

#include <cstdint>
#include <filesystem>

namespace v270 {

// The folder of the running program: the module path up to, not including, its last separator.
// A path without a separator gives an empty folder.
std::filesystem::path exeFolderOf(const std::filesystem::path& modulePath);

// Where the program's files lie: everything sits beside the executable.
struct ProgramPaths {
    std::filesystem::path exeFolder;
    std::filesystem::path configFilePath;  // exeFolder\config.ini
    std::filesystem::path skinFolder;      // exeFolder\skins

    static ProgramPaths inFolder(const std::filesystem::path& exeFolder);

    // "Macro_EN.dat" when englishUi is 1, else "Macro_CN.dat", beside the program.
    std::filesystem::path macroFilePath(int32_t englishUi) const;
    // The default macros that a reset restores: skins\INI_EN\defMacro.dat or INI_CN.
    std::filesystem::path defaultMacroPath(int32_t englishUi) const;
};

}  // namespace v270
