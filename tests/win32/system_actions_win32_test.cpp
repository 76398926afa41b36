#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/system_actions.h"
#include "platform/win32/system_actions_win32.h"
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

// Programs start through an unelevated desktop shell, with its rights, or not at all. Wine has
// no shell window and gives every process one elevated token, so it cannot show a start without
// elevation: there the choice of the launch path is what is tested, and nothing may start.
TEST(SystemActionsWin32Test, AProgramStartsThroughTheDesktopShellOrNotAtAll) {
    test::TempFolder temp;
    const fs::path marker = fs::path(V270_START_MARKER);
    const fs::path named = temp / "folder with spaces" / "v270 start marker.exe";
    const fs::path planted = temp / "folder.exe";
    fs::create_directories(named.parent_path());
    fs::copy_file(marker, named);
    fs::copy_file(marker, planted);
    std::vector<std::u16string> log;
    const auto actions =
        win32::createShellActions([&log](std::u16string_view line) { log.emplace_back(line); });

    actions->startProgram(named);
    actions->startProgram(u"cmd.exe");  // a name to search for: never started
    if (GetShellWindow() == nullptr) {
        const std::wstring path = named.wstring();
        EXPECT_EQ(log, std::vector<std::u16string>{u"V270: \"" +
                                                   std::u16string(path.begin(), path.end()) +
                                                   u"\" not started: no desktop shell runs"});
        EXPECT_FALSE(fs::exists(named.wstring() + L".started"));
    } else {
        ASSERT_TRUE(waitForFile(named.wstring() + L".started"));
        EXPECT_TRUE(log.empty());
    }
    EXPECT_FALSE(fs::exists(planted.wstring() + L".started"));
}

}  // namespace
}  // namespace v270
