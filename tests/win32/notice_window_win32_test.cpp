// The notice window under Wine: a text handed over from another thread shows at the bottom right
// of the work area without being activated, a newer text replaces it, it hides itself after its
// fade, and close destroys it.
#include "platform/win32/notice_window_win32.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace v270 {
namespace {

using win32::Win32NoticeWindow;

// Runs this thread's messages until `condition` holds; false after 10 s.
template <typename Condition>
bool pumpUntil(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    return true;
}

RECT rectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

void showFromAnotherThread(Win32NoticeWindow& notice, std::u16string_view text) {
    std::thread([&] { notice.show(text, platform::FontChoice::English); }).join();
}

TEST(NoticeWindowWin32, ShowsTextsFromAnotherThreadFadesAndCloses) {
    Win32NoticeWindow notice(GetModuleHandleW(nullptr));
    HWND window = FindWindowW(Win32NoticeWindow::kClassName, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
    const LONG style = GetWindowLongW(window, GWL_EXSTYLE);
    const LONG wanted =
        WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    EXPECT_EQ(style & wanted, wanted);
    const HWND foreground = GetForegroundWindow();

    showFromAnotherThread(notice, u"1");
    ASSERT_TRUE(pumpUntil([&] { return IsWindowVisible(window) != FALSE; }));
    const RECT shortText = rectOf(window);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(shortText.right, work.right);
    EXPECT_LE(shortText.bottom, work.bottom);
    EXPECT_GT(shortText.right, work.right - 60);

    // A newer notice while one shows takes its place, sized to its own text.
    showFromAnotherThread(notice, u"Profile 3 \u00B7 1600 DPI");
    ASSERT_TRUE(pumpUntil([&] { return rectOf(window).left < shortText.left; }));
    EXPECT_EQ(rectOf(window).right, shortText.right);
    EXPECT_EQ(GetForegroundWindow(), foreground);

    ASSERT_TRUE(pumpUntil([&] { return IsWindowVisible(window) == FALSE; })) << "faded out";
    notice.close();
    EXPECT_FALSE(IsWindow(window));
    showFromAnotherThread(notice, u"after the end");  // dropped
}

}  // namespace
}  // namespace v270
