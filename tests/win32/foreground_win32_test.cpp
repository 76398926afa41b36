#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "platform/win32/foreground_watcher_win32.h"
#include "platform/win32/one_shot_timer_win32.h"

namespace v270 {
namespace {

using namespace std::chrono_literals;

// Runs this thread's messages until `done` says so or five seconds pass; returns `done()`.
template <typename Done>
bool pumpUntil(Done done, std::chrono::milliseconds limit = 5000ms) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(limit.count());
    while (!done() && GetTickCount64() < end) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    return done();
}

TEST(OneShotTimerWin32, RunsTheLastActionOnceAndNothingWhenCancelled) {
    win32::Win32OneShotTimer timer;
    std::vector<int> ran;
    timer.start(10ms, [&] { ran.push_back(1); });
    timer.start(20ms, [&] { ran.push_back(2); });
    EXPECT_TRUE(timer.pending());
    ASSERT_TRUE(pumpUntil([&] { return !ran.empty(); }));
    EXPECT_FALSE(timer.pending());

    timer.start(10ms, [&] { ran.push_back(3); });
    timer.cancel();
    EXPECT_FALSE(timer.pending());
    // A later wait ends after the cancelled one would have: had it survived, it would show.
    timer.start(100ms, [&] { ran.push_back(4); });
    ASSERT_TRUE(pumpUntil([&] { return ran.size() == 2; }));
    pumpUntil([] { return false; }, 150ms);
    EXPECT_EQ(ran, (std::vector<int>{2, 4}));
}

TEST(ForegroundWatcherWin32, TellsOfAnnouncedForegroundWindowsWhileWatching) {
    // A window of this process, announced as the system announces a new foreground window.
    const HWND window = CreateWindowExW(0, L"STATIC", L"front", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    const auto announce = [&] {
        NotifyWinEvent(EVENT_SYSTEM_FOREGROUND, window, OBJID_WINDOW, CHILDID_SELF);
    };
    wchar_t ownPath[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, ownPath, MAX_PATH);
    const std::u16string expectedPath(ownPath, ownPath + wcslen(ownPath));
    EXPECT_EQ(win32::executablePathOf(GetCurrentProcessId()), expectedPath);
    EXPECT_EQ(win32::executablePathOf(0xFFFFFFF0u), u"") << "no such process";

    std::vector<platform::ForegroundChange> changes;
    win32::Win32ForegroundWatcher watcher;
    ASSERT_TRUE(watcher.start([&](const platform::ForegroundChange& c) { changes.push_back(c); }));
    win32::Win32ForegroundWatcher second;
    EXPECT_FALSE(second.start([](const platform::ForegroundChange&) {}))
        << "one watcher of the process at a time";

    // The start told of whatever window is in front; from now on, of the announced one.
    changes.clear();
    announce();
    ASSERT_TRUE(pumpUntil([&] { return !changes.empty(); }));
    EXPECT_TRUE(changes[0].ownWindow);
    EXPECT_TRUE(changes[0].executablePath == expectedPath);

    watcher.stop();
    EXPECT_FALSE(watcher.watching());
    announce();
    pumpUntil([] { return false; }, 200ms);
    EXPECT_EQ(changes.size(), 1u);
    EXPECT_TRUE(second.start([](const platform::ForegroundChange&) {})) << "free again";
    DestroyWindow(window);
}

}  // namespace
}  // namespace v270
