#include "settings/profile_file.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/macro_format.h"
#include "settings/profile_import.h"
#include "settings/text.h"

namespace v270 {
namespace {

MacroRecord macroNamed(std::u16string_view name, uint8_t key) {
    MacroRecord macro;
    macro.setName(name);
    macro.repeatCount = 1;
    macro.stepCount = 2;
    macro.steps[0] = {key, kStepPress, 30};
    macro.steps[1] = {key, kStepRelease, 30};
    return macro;
}

MacroTable tableOf(std::initializer_list<MacroRecord> macros) {
    MacroTable table;
    for (const MacroRecord& macro : macros)
        table.macroSlots[static_cast<size_t>(table.macroCount++)] = macro;
    return table;
}

std::string textOf(const std::vector<std::byte>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::vector<std::byte> bytesOf(const std::string& text) {
    const auto span = std::as_bytes(std::span(text));
    return {span.begin(), span.end()};
}

// Profile 2 of the story: two buttons play the table's macro 2, one its macro 0, one a macro
// that was deleted.
struct SharedProfile : ::testing::Test {
    MacroTable table =
        tableOf({macroNamed(u"Fire", 'F'), macroNamed(u"Unused", 'U'), macroNamed(u"Reload", 'R')});
    ConfigProfile profile = [] {
        ConfigProfile p = builtInDefaultProfile(1);
        p.buttonFunction = {1, 43, 43, 41, 50, 6};
        p.dpiLevel = 2;
        p.ledStatus = 3;
        return p;
    }();
};

TEST_F(SharedProfile, ExportCarriesTheMacrosTheButtonsPlayAndImportGivesThemBack) {
    const ProfileFile file = profileFileOf(profile, table);
    EXPECT_EQ(file.profile.buttonFunction, (std::array<int32_t, 6>{1, 41, 41, 42, 0, 6}));
    ASSERT_EQ(file.macros.size(), 2u);
    EXPECT_EQ(file.macros[0].nameText(), u"Reload");

    const std::vector<std::byte> bytes = writeProfileFile(file);
    const ProfileFileReading read = readProfileFile(bytes);
    ASSERT_TRUE(std::holds_alternative<ProfileFile>(read));
    EXPECT_EQ(std::get<ProfileFile>(read), file);
    EXPECT_EQ(writeProfileFile(std::get<ProfileFile>(read)), bytes) << "byte for byte";

    // Into another slot beside the same macros: the same profile, no macro added.
    const auto plan = std::get<ProfileImportPlan>(planProfileImport(file, table, 4));
    ConfigProfile expected = profile;
    expected.buttonFunction[4] = 0;
    EXPECT_EQ(plan.profile, expected);
    EXPECT_EQ(plan.table, table);
    EXPECT_FALSE(plan.addsMacros());

    // On another computer, whose table holds another "Fire": the macros come after those in
    // use, the clashing name gets a suffix and the buttons follow their macros.
    const MacroTable other = tableOf({macroNamed(u"Fire", 'X')});
    const auto moved = std::get<ProfileImportPlan>(planProfileImport(file, other, 1));
    EXPECT_EQ(moved.macros, (std::vector<MacroPlacement>{{u"Reload", u"Reload", 1, true},
                                                         {u"Fire", u"Fire (2)", 2, true}}));
    EXPECT_EQ(moved.profile.buttonFunction, (std::array<int32_t, 6>{1, 42, 42, 43, 0, 6}));
    EXPECT_EQ(moved.table.macroCount, 3);
    EXPECT_EQ(moved.table.macroSlots[2].steps, table.macroSlots[0].steps);
}

TEST(ProfileImport, NamesAndSlots) {
    const MacroRecord longName = macroNamed(u"ABCDEFGHIJKLMNOPQRS", 'L');
    struct Case {
        const char* what;
        MacroTable table;
        std::vector<MacroRecord> macros;
        std::vector<std::u16string> names;  // empty: refused for want of free slots
    };
    MacroTable full;
    for (int i = 0; i < kMaxMacros; ++i)
        full.macroSlots[static_cast<size_t>(full.macroCount++)] = macroNamed(formatInt(i), 'A');
    const Case cases[] = {
        {"long name cut for its suffix",
         tableOf({macroNamed(longName.nameText(), 'M')}),
         {longName},
         {u"ABCDEFGHIJKLMNO (2)"}},
        {"suffix taken too",
         tableOf({macroNamed(u"a", 'B'), macroNamed(u"a (2)", 'C')}),
         {macroNamed(u"a", 'D')},
         {u"a (3)"}},
        {"two of the file clash with each other",
         {},
         {macroNamed(u"b", 'E'), macroNamed(u"b", 'F')},
         {u"b", u"b (2)"}},
        {"the very same macro in a full table is played", full, {full.macroSlots[5]}, {u"5"}},
        {"a new macro for a full table", full, {macroNamed(u"new", 'N')}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProfileFile file{builtInDefaultProfile(0), c.macros};
        file.profile.buttonFunction[1] = 41;
        const ProfileImportPlanning planning = planProfileImport(file, c.table, 3);
        if (c.names.empty()) {
            EXPECT_EQ(std::get<ProfileFileProblem>(planning),
                      (ProfileFileProblem{ProfileFileFault::NoFreeMacroSlot, u"1"}));
            continue;
        }
        const auto& plan = std::get<ProfileImportPlan>(planning);
        ASSERT_EQ(plan.macros.size(), c.names.size());
        for (size_t i = 0; i < c.names.size(); ++i) {
            EXPECT_EQ(plan.macros[i].name, c.names[i]);
            EXPECT_EQ(
                plan.table.macroSlots[static_cast<size_t>(plan.macros[i].tableIndex)].nameText(),
                c.names[i]);
        }
        EXPECT_EQ(plan.profile.buttonFunction[1], 41 + plan.macros[0].tableIndex);
    }
}

TEST_F(SharedProfile, FilesThatAreRefused) {
    const std::string good = textOf(writeProfileFile(profileFileOf(profile, table)));
    const auto edited = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return text.replace(at, from.size(), to);
    };
    const std::string record0 = "0=" + utf16ToUtf8(serializeMacro(table.macroSlots[2]));
    struct Case {
        std::string text;
        ProfileFileProblem problem;
    };
    const Case cases[] = {
        {"[Config7]\r\nK1=1\r\n", {ProfileFileFault::NotAProfileFile, u""}},
        {edited("Format=1", "Format=2"), {ProfileFileFault::NewerFormat, u""}},
        {edited("Model=VELKO V270", "Model=OTHER\x01 M"),
         {ProfileFileFault::OtherModel, u"OTHER? M"}},
        {edited("K3=41\r\n", ""), {ProfileFileFault::Damaged, u"K3"}},
        {edited("FIRE_TIME=50", "FIRE_TIME=5x"), {ProfileFileFault::Damaged, u"FIRE_TIME"}},
        {edited("DPI_LEVEL=2", "DPI_LEVEL=02"), {ProfileFileFault::Damaged, u"DPI_LEVEL"}},
        {edited("macroNum=2", "macroNum=13"), {ProfileFileFault::Damaged, u"macroNum"}},
        {edited("macroNum=2", "macroNum=1"), {ProfileFileFault::Damaged, u"K4"}},
        {edited(record0, record0.substr(0, record0.size() - 1)),
         {ProfileFileFault::Damaged, u"Macros/0"}},
        {edited(record0, record0.substr(0, 2 + 3 * 43) + "255" + record0.substr(5 + 3 * 43)),
         {ProfileFileFault::Damaged, u"Macros/0"}},
        {good + std::string(kMaxProfileFileBytes, ';'), {ProfileFileFault::NotAProfileFile, u""}},
    };
    for (const Case& c : cases) {
        const ProfileFileReading read = readProfileFile(bytesOf(c.text));
        ASSERT_TRUE(std::holds_alternative<ProfileFileProblem>(read)) << c.text.substr(0, 200);
        EXPECT_EQ(std::get<ProfileFileProblem>(read), c.problem) << c.text.substr(0, 200);
    }
    // Values out of range in an otherwise sound file are held to their ranges, as config.ini's.
    const auto held =
        std::get<ProfileFile>(readProfileFile(bytesOf(edited("DPI_LEVEL=2", "DPI_LEVEL=9"))));
    EXPECT_EQ(held.profile.dpiLevel, 3);
}

}  // namespace
}  // namespace v270
