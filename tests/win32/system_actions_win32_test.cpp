#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "platform/system_actions.h"
#include "support/temp_folder.h"

namespace v270 {
namespace {

namespace fs = std::filesystem;

bool waitForFile(const fs::path& file) {
    for (int i = 0; i < 20000; ++i) {
        if (fs::exists(file))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

TEST(SystemActionsWin32Test, SystemFolderIsTheAbsoluteSystemDirectoryWithTheShellPrograms) {
    const auto actions = platform::createSystemActions();
    const fs::path folder = actions->systemFolder();
    wchar_t expected[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryW(expected, MAX_PATH), 0u);
    EXPECT_EQ(folder, fs::path(expected));
    EXPECT_TRUE(folder.is_absolute());
    EXPECT_TRUE(fs::exists(folder / "cmd.exe")) << folder;
}

// A path with spaces, unquoted, would make the system try "<temp>\folder.exe" first: the
// program planted there must not start in place of the one named.
TEST(SystemActionsWin32Test, StartsExactlyTheProgramAtTheFullPath) {
    test::TempFolder temp;
    const fs::path marker = fs::path(V270_START_MARKER);
    const fs::path named = temp / "folder with spaces" / "v270 start marker.exe";
    const fs::path planted = temp / "folder.exe";
    fs::create_directories(named.parent_path());
    fs::copy_file(marker, named);
    fs::copy_file(marker, planted);

    platform::createSystemActions()->startProgram(named);
    ASSERT_TRUE(waitForFile(named.wstring() + L".started"));
    EXPECT_FALSE(fs::exists(planted.wstring() + L".started"));
}

}  // namespace
}  // namespace v270
