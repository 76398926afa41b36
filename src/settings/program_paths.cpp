#include "settings/program_paths.h"

namespace v270 {

std::filesystem::path exeFolderOf(const std::filesystem::path& modulePath) {
    const auto& native = modulePath.native();
#ifdef _WIN32
    const auto cut = native.find_last_of(L"\\/");
#else
    const auto cut = native.find_last_of('/');
#endif
    if (cut == std::filesystem::path::string_type::npos)
        return {};
    return std::filesystem::path(native.substr(0, cut));
}

ProgramPaths ProgramPaths::inFolder(const std::filesystem::path& exeFolder) {
    return ProgramPaths{exeFolder, exeFolder / "config.ini", exeFolder / "skins"};
}

std::filesystem::path ProgramPaths::macroFilePath(int32_t englishUi) const {
    return exeFolder / (englishUi == 1 ? "Macro_EN.dat" : "Macro_CN.dat");
}

std::filesystem::path ProgramPaths::defaultMacroPath(int32_t englishUi) const {
    return skinFolder / (englishUi == 1 ? "INI_EN" : "INI_CN") / "defMacro.dat";
}

}  // namespace v270
