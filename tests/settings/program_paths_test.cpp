#include "settings/program_paths.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"

namespace v270 {
namespace {

TEST(ProgramPaths, TheFolderIsTheModulePathUpToItsLastSeparator) {
#ifdef _WIN32
    EXPECT_EQ(exeFolderOf(L"C:\\Program Files\\V270\\V270.exe"), L"C:\\Program Files\\V270");
    EXPECT_EQ(exeFolderOf(L"C:\\V270.exe"), L"C:");
    const std::wstring deep = L"C:\\" + std::wstring(300, L'a') + L"\\V270.exe";
    EXPECT_EQ(exeFolderOf(deep).wstring().size(), deep.size() - 9);
#else
    EXPECT_EQ(exeFolderOf("/opt/v270/V270"), "/opt/v270");
#endif
    EXPECT_EQ(exeFolderOf("V270.exe"), "");
}

TEST(ProgramPaths, FilesLieBesideTheProgram) {
    const auto paths = ProgramPaths::inFolder("base");
    EXPECT_EQ(paths.configFilePath, std::filesystem::path("base") / "config.ini");
    EXPECT_EQ(paths.macroFilePath(1), std::filesystem::path("base") / "Macro_EN.dat");
    EXPECT_EQ(paths.macroFilePath(0), std::filesystem::path("base") / "Macro_CN.dat");
    EXPECT_EQ(paths.defaultMacroPath(1),
              std::filesystem::path("base") / "skins" / "INI_EN" / "defMacro.dat");
    EXPECT_EQ(paths.defaultMacroPath(0),
              std::filesystem::path("base") / "skins" / "INI_CN" / "defMacro.dat");
}

TEST(ProgramPaths, TheRunningModuleIsFound) {
    const auto module = platform::currentModulePath();
    EXPECT_FALSE(module.empty());
    EXPECT_TRUE(std::filesystem::exists(module)) << module;
}

}  // namespace
}  // namespace v270
