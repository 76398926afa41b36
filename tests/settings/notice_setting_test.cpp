#include "settings/notice_setting.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/keep_running_setting.h"
#include "support/memory_ini_files.h"

namespace v270 {
namespace {

const std::filesystem::path kConfig = "config.ini";

void put(test::MemoryIniFiles& files, const std::string& text) {
    files.put(kConfig, std::as_bytes(std::span(text.data(), text.size())));
}

std::string text(const test::MemoryIniFiles& files) {
    const std::vector<std::byte> bytes = files.bytes(kConfig);
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// Only a stored 0 turns the notice off: a missing section or key, or a damaged value, leaves it
// on as it ships.
TEST(NoticeSetting, OnlyAStoredZeroTurnsItOff) {
    const struct {
        const char* file;
        bool enabled;
    } cases[] = {
        {"", true},
        {"[Init]\r\nCurConfig=1\r\n", true},
        {"[Notice]\r\n", true},
        {"[Notice]\r\nEnabled=\r\n", true},
        {"[Notice]\r\nEnabled=1\r\n", true},
        {"[Notice]\r\nEnabled = 0 \r\n", false},
        {"[notice]\r\nenabled=000\r\n", false},
        {"[Notice]\r\nEnabled=-0\r\n", false},
        {"[Notice]\r\nEnabled=2\r\n", true},
        {"[Notice]\r\nEnabled=0x0\r\n", true},
        {"[Notice]\r\nEnabled=off\r\n", true},
        {"[Notice]\r\nEnabled=0 ; off\r\n", true},
        {"[Notice]\r\nEnabled=\xff\xfe\r\n", true},
        {"[Notice]\r\nEnabled=00000000000000000000000000000000000001\r\n", true},
    };
    for (const auto& c : cases) {
        test::MemoryIniFiles files;
        put(files, c.file);
        EXPECT_EQ(loadNoticeEnabled(files, kConfig), c.enabled) << c.file;
    }
}

TEST(NoticeSetting, SavingKeepsEveryOtherLineAndReadsBack) {
    test::MemoryIniFiles files;
    const std::string before = "; kept\r\n[Init]\r\nCurConfig=3\r\n\r\n[Config3]\r\nK1=1\r\n";
    put(files, before);
    ASSERT_TRUE(saveNoticeEnabled(files, kConfig, false));
    EXPECT_EQ(text(files), before + "\r\n[Notice]\r\nEnabled=0\r\n");
    EXPECT_FALSE(loadNoticeEnabled(files, kConfig));
    ASSERT_TRUE(saveNoticeEnabled(files, kConfig, true));
    EXPECT_EQ(text(files), before + "\r\n[Notice]\r\nEnabled=1\r\n");
    EXPECT_TRUE(loadNoticeEnabled(files, kConfig));
}

// "Keep running without the mouse" ships off: a damaged value leaves it off, as a missing one.
TEST(KeepRunningSetting, ShipsOffAndOnlyAStoredNumberOtherThanZeroTurnsItOn) {
    const struct {
        const char* file;
        bool on;
    } cases[] = {
        {"", false},
        {"[Driver]\r\nKeepRunningWithoutMouse=on\r\n", false},
        {"[Driver]\r\nKeepRunningWithoutMouse=0\r\n", false},
        {"[driver]\r\nkeeprunningwithoutmouse=1\r\n", true},
    };
    for (const auto& [file, on] : cases) {
        test::MemoryIniFiles files;
        put(files, file);
        EXPECT_EQ(loadKeepRunning(files, kConfig), on) << file;
    }
}

}  // namespace
}  // namespace v270
