#include "settings/macro_store.h"

#include <gtest/gtest.h>

#include "settings/macro_format.h"
#include "support/recording_message_boxes.h"
#include "support/temp_folder.h"

namespace v270 {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

std::string groupsOf(const MacroRecord& record, size_t first, size_t count) {
    const std::u16string text = serializeMacro(record);
    return std::string(text.begin() + static_cast<ptrdiff_t>(3 * first),
                       text.begin() + static_cast<ptrdiff_t>(3 * (first + count)));
}

TEST(MacroFormat, FormatByte3WritesThreeDigits) {
    std::u16string text;
    for (int value : {0, 7, 10, 99, 100, 255})
        formatByte3(text, static_cast<uint8_t>(value));
    EXPECT_EQ(text, u"000007010099100255");
}

TEST(MacroFormat, GroupLayout) {
    MacroRecord record;
    record.setName(u"宏一");
    record.repeatEnabled = 1;
    record.repeatCount = 300;
    record.stepCount = 1;
    record.steps[0] = {65, kStepPress, 300};
    EXPECT_EQ(serializeMacro(record).size(), kMacroRecordChars);
    EXPECT_EQ(groupsOf(record, 0, 4), "143091000078") << "U+5B8F, U+4E00, low byte first";
    EXPECT_EQ(groupsOf(record, 4, 36), std::string(108, '0'));
    EXPECT_EQ(groupsOf(record, 40, 4), "001044001001");
    EXPECT_EQ(groupsOf(record, 44, 4), "065001044001");
    EXPECT_EQ(groupsOf(record, 48, 4), "000000000000");
    EXPECT_EQ(parseMacro(serializeMacro(record)), record);
}

TEST(MacroFormat, ShortAndBrokenValuesHaveADefinedResult) {
    MacroRecord record;
    record.setName(u"ab");
    record.stepCount = 3;
    record.steps[0] = {1, 1, 1};
    const std::u16string full = serializeMacro(record);
    const MacroRecord head = parseMacro(full.substr(0, 3 * 44));
    EXPECT_EQ(head.nameText(), u"ab");
    EXPECT_EQ(head.stepCount, 3);
    EXPECT_EQ(head.steps[0], MacroStep{});

    // Groups "x12" (a letter first: 0), " 65", "999" (low byte 231) and "-01" (low byte 255).
    const MacroRecord odd = parseMacro(u"x12 65999-01");
    EXPECT_EQ(odd.name[0], 65 << 8);
    EXPECT_EQ(odd.name[1], 231 | 255 << 8);
    EXPECT_EQ(odd.stepCount, 0);
}

TEST(MacroFormat, NameAndStepCountStayInsideTheirFields) {
    MacroRecord record;
    record.setName(u"abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(record.nameText(), u"abcdefghijklmnopqrs");
    std::u16string text = serializeMacro(record);
    text.replace(3 * 38, 6, u"120000");  // a 20th unit where the terminator belongs
    text.replace(3 * 43, 3, u"255");
    const MacroRecord parsed = parseMacro(text);
    EXPECT_EQ(parsed.name[19], 0);
    EXPECT_EQ(parsed.stepCount, kMaxMacroSteps);
}

class MacroStoreTest : public testing::Test {
  protected:
    MacroRecord macroNamed(std::u16string_view name, uint8_t steps) {
        MacroRecord record;
        record.setName(name);
        record.stepCount = steps;
        for (uint8_t s = 0; s < steps; ++s) {
            record.steps[s] = {static_cast<uint8_t>(65 + s % 26),
                               static_cast<uint8_t>(s % 2 ? kStepRelease : kStepPress),
                               static_cast<uint16_t>(s * 10)};
        }
        return record;
    }
    void fill(int count) {
        store.edit([&](MacroTable& table) {
            table.macroCount = static_cast<int16_t>(count);
            for (int i = 0; i < count; ++i) {
                table.macroSlots[static_cast<size_t>(i)] =
                    macroNamed(u"m" + std::u16string(1, static_cast<char16_t>(u'0' + i)), 4);
            }
        });
    }

    TempFolder folder;
    IniFiles files;
    test::RecordingMessageBoxes messages;
    MacroStore store{files, messages};
    std::filesystem::path file = folder / "Macro_EN.dat";
};

TEST_F(MacroStoreTest, SaveThenLoadRestoresTheTable) {
    fill(3);
    const MacroTable before = store.table();
    EXPECT_TRUE(store.saveMacros(file));
    store.edit([](MacroTable& table) { table = MacroTable{}; });
    store.loadMacros(file);
    const MacroTable after = store.table();
    EXPECT_EQ(after.macroCount, 3);
    EXPECT_EQ(after.currentMacro, 2);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(after.macroSlots[i], before.macroSlots[i]);
    EXPECT_TRUE(messages.shown().empty());
    const std::string text = readFile(file);
    EXPECT_EQ(text.rfind("[Macros]\r\nmacroNum=3\r\n0=", 0), 0u);
}

TEST_F(MacroStoreTest, OnlyMacroNumRecordsAreLoaded) {
    fill(6);
    store.saveMacros(file);
    IniFiles().write(file, u"Macros", u"macroNum", u"3");
    store.edit([](MacroTable& table) { table = MacroTable{}; });
    store.loadMacros(file);
    EXPECT_EQ(store.macroCount(), 3);
    EXPECT_EQ(store.table().currentMacro, 2);
    EXPECT_EQ(store.table().macroSlots[3], MacroRecord{}) << "records from macroNum on stay";
}

TEST_F(MacroStoreTest, DeletingTheLastMacroLeavesItsOldKeyInTheFile) {
    fill(5);
    store.saveMacros(file);
    store.edit([](MacroTable& table) { table.macroCount = 4; });
    store.saveMacros(file);
    const IniDocument document = files.load(file);
    EXPECT_EQ(document.read(u"Macros", u"macroNum", 3), u"4");
    EXPECT_EQ(document.read(u"Macros", u"4", 4000).size(), kMacroRecordChars);
}

TEST_F(MacroStoreTest, AMissingRecordKeyGivesABlankMacro) {
    writeFile(file, "[Macros]\r\nmacroNum=2\r\n0=097000\r\n");
    store.loadMacros(file);
    EXPECT_EQ(store.table().macroSlots[0].nameText(), u"a");
    EXPECT_EQ(store.table().macroSlots[1], MacroRecord{});
}

TEST_F(MacroStoreTest, MacroNumOutsideTheTableIsHeldToIt) {
    writeFile(file, "[Macros]\r\nmacroNum=99\r\n");
    store.loadMacros(file);
    EXPECT_EQ(store.macroCount(), 12);
    writeFile(file, "[Macros]\r\nmacroNum=-5\r\n");
    store.loadMacros(file);
    EXPECT_EQ(store.macroCount(), 0);
    EXPECT_EQ(store.table().currentMacro, 0);
}

TEST_F(MacroStoreTest, AMissingFileIsReportedAndEmptiesTheTable) {
    fill(2);
    store.loadMacros(folder / "nowhere.dat");
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0], u"找不到配置文件");
    EXPECT_EQ(store.macroCount(), 0);
    EXPECT_EQ(store.table().macroSlots[0].nameText(), u"m0") << "records stay, uncounted";
}

TEST_F(MacroStoreTest, CopiesAreOnlyGivenForMacrosInUse) {
    fill(2);
    EXPECT_TRUE(store.macro(1).has_value());
    EXPECT_FALSE(store.macro(2).has_value());
    EXPECT_FALSE(store.macro(-1).has_value());
}

}  // namespace
}  // namespace v270
