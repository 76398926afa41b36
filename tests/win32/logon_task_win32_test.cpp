#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/logon_task_win32.h"

namespace v270 {
namespace {

// The real Task Scheduler of the Wine prefix, under a task name of the test's own.
TEST(LogonTaskWin32Test, AddReplaceAndRemoveThroughTheTaskScheduler) {
    win32::Win32LogonTask task(u"V270 logon task test");
    ASSERT_TRUE(task.remove().ok);
    EXPECT_FALSE(task.registered());
    EXPECT_FALSE(task.readBack());
    EXPECT_TRUE(task.remove().ok) << "a task that is not there counts as removed";

    EXPECT_TRUE(task.add(u"C:\\Games & Tools\\V270.exe", u"--tray").ok);
    EXPECT_TRUE(task.add(u"C:\\V270\\V270.exe", u"--tray").ok) << "replaced";
    EXPECT_TRUE(task.registered());
    // Wine keeps the settings of a task, though not its trigger, principal or action.
    ASSERT_TRUE(task.readBack());
    EXPECT_EQ(task.readBack()->priority, platform::kNormalTaskPriority);
    EXPECT_TRUE(task.remove().ok);
    EXPECT_FALSE(task.registered());
}

TEST(LogonTaskWin32Test, TheTaskNameIsTheUsersOwn) {
    wchar_t user[256] = {};
    DWORD length = 256;
    ASSERT_TRUE(GetUserNameW(user, &length));
    const std::wstring wide(user);
    EXPECT_EQ(win32::logonTaskNameForCurrentUser(),
              u"V270 Start With Windows (" + std::u16string(wide.begin(), wide.end()) + u")");
}

}  // namespace
}  // namespace v270
