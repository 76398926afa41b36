#include "device/input_reader.h"

#include <gtest/gtest.h>

#include "device_fakes.h"
#include "settings/ini_files.h"
#include "support/temp_folder.h"

namespace v270 {
namespace {

// Whether the executor was woken since it last looked, without waiting.
bool woken(HandOverSignal& signal) {
    std::stop_source stopped;
    stopped.request_stop();
    return signal.wait(stopped.get_token());
}

class InputReaderTest : public testing::Test {
  protected:
    test::TempFolder folder;
    IniFiles files;
    ProfileStore store{files, folder / "config.ini"};
    MouseInterfaces interfaces;
    HandOverFlags flags;
    BannerState banner;
    test::RecordingViewPort window;
    test::YieldingClock clock;
    InputReader reader{InputReaderServices{interfaces, flags, banner, store, window, clock}};

    void macroMode(int32_t mode) {
        store.edit([&](ConfigProfile& p) { p.macroMode2 = mode; });
    }
    void report(uint8_t id, uint8_t key) {
        const std::array<uint8_t, 8> bytes = {id, key, 0, 0, 0, 0, 0, 0};
        reader.handleReport(bytes);
    }
    void prompting() {
        banner.driverWorking = 0;
        banner.applyBlinkStarted = 1;
        banner.startKeyVisible = 1;
    }
};

TEST_F(InputReaderTest, WhilePromptingOnlyTheStartSignalCounts) {
    prompting();
    report(6, 0xF1);
    report(5, 0x00);
    EXPECT_EQ(banner.driverWorking.load(), 0);
    EXPECT_EQ(flags.pressPending.load(), 0);
    EXPECT_EQ(window.invalidations.load(), 0);

    report(6, 0x00);
    EXPECT_EQ(banner.driverWorking.load(), 1);
    EXPECT_EQ(banner.applyBlinkStarted.load(), 0);
    EXPECT_EQ(banner.startKeyVisible.load(), 0);
    EXPECT_EQ(window.invalidations.load(), 1);
    EXPECT_EQ(flags.pressPending.load(), 0) << "the start signal is not a press";
}

TEST_F(InputReaderTest, APressIsHandedOverWithItsCodeAndWakesTheExecutor) {
    report(6, 0xF5);
    EXPECT_EQ(flags.pressPending.load(), 1);
    EXPECT_EQ(flags.pressedKeyCode.load(), 0xF5);
    EXPECT_EQ(flags.stopRequested.load(), 0);
    EXPECT_TRUE(woken(flags.wakeup));
}

TEST_F(InputReaderTest, OnceWorkingTheReportIdIsNotExamined) {
    report(1, 0xF2);
    EXPECT_EQ(flags.pressedKeyCode.load(), 0xF2);
}

TEST_F(InputReaderTest, ASecondPressStopsTheMacroInModeZero) {
    macroMode(0);
    report(6, 0xF5);
    report(6, 0xF1);
    EXPECT_EQ(flags.stopRequested.load(), 1);
    EXPECT_EQ(flags.pressedKeyCode.load(), 0xF5) << "the pending press is kept";
}

TEST_F(InputReaderTest, ASecondPressIsDroppedInModeOne) {
    macroMode(1);
    report(6, 0xF5);
    report(6, 0xF1);
    EXPECT_EQ(flags.stopRequested.load(), 0);
    EXPECT_EQ(flags.pressedKeyCode.load(), 0xF5);
}

TEST_F(InputReaderTest, TheReleaseStopsOnlyInModeOneEvenWithNothingRunning) {
    macroMode(0);
    report(6, 0x00);
    EXPECT_EQ(flags.stopRequested.load(), 0);
    EXPECT_FALSE(woken(flags.wakeup));
    macroMode(1);
    report(6, 0x00);
    EXPECT_EQ(flags.stopRequested.load(), 1);
    EXPECT_EQ(flags.pressPending.load(), 0);
    EXPECT_TRUE(woken(flags.wakeup)) << "the sleeping executor clears the request";
}

TEST_F(InputReaderTest, CodesUpToF0AreNoKey) {
    macroMode(1);
    report(6, 0xF0);
    report(6, 0x05);
    report(6, 0x80);
    EXPECT_EQ(flags.pressPending.load(), 0);
    EXPECT_EQ(flags.stopRequested.load(), 0);
    report(6, 0xFF);
    EXPECT_EQ(flags.pressedKeyCode.load(), 0xFF);
}

TEST_F(InputReaderTest, AReportTooShortToCarryAKeyChangesNothing) {
    prompting();
    const std::array<uint8_t, 1> bytes = {6};
    reader.handleReport(bytes);
    EXPECT_EQ(banner.driverWorking.load(), 0);
}

}  // namespace
}  // namespace v270
