// Any bytes as a settings file that the user imports, of both kinds.
//
// As a settings file: loaded into the working profile from
// section Config7 as the import does (ProfileStore::loadProfile), then exported back into the
// same file and into a new one, as the export does (ProfileStore::saveProfile). The file stays in
// memory.
//
// Checked: every value of the imported profile is within its range and at least one DPI level
// is enabled; a value stored as a plain number within its range is imported as it stands; the
// import changes neither the current profile slot nor the file; the export writes exactly the
// imported profile, so importing it again gives the same profile, from the new file and from the
// user's file alike; and the export into the user's file changes nothing else in it: every key
// of every other section, and keys of Config7 that are not profile keys, read as before.
//
// As a profile file: read, and when taken, planned into a macro table with free slots and into
// a full one. Checked: a file taken has its values within their ranges and its macro codes name
// its own macros; written again it reads as the same file, and that writing is stable byte for
// byte; a plan refused changes nothing; a plan taken holds at most twelve macros, gives every
// added macro a name no other macro of the table uses, and its profile exported from its table
// gives the file's profile and macros back, names aside.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "ini_names.h"
#include "settings/profile_file.h"
#include "settings/profile_import.h"
#include "settings/profile_store.h"
#include "settings/text.h"
#include "support/memory_ini_files.h"

namespace v270::fuzz {
namespace {

constexpr std::u16string_view kSection = u"Config7";

// The profile keys, with the most characters a value may have and the range within which a
// stored value must be imported unchanged.
struct Key {
    std::u16string_view name;
    size_t chars;
    int32_t low;
    int32_t high;
};
constexpr std::array<Key, 21> kKeys = {{
    {u"K1", 4, -999, 9999},    {u"K2", 4, -999, 9999},           {u"K3", 4, -999, 9999},
    {u"K4", 4, -999, 9999},    {u"K5", 4, -999, 9999},           {u"K6", 4, -999, 9999},
    {u"DPI_LEVEL", 4, 0, 3},   {u"WHEEL_STATUS", 4, -999, 9999}, {u"MACRO_MODE2", 4, 0, 1},
    {u"DPI_SET1", 9, 0, 4},    {u"DPI_SET_EN1", 9, 0, 1},        {u"DPI_SET2", 9, 0, 4},
    {u"DPI_SET_EN2", 9, 0, 1}, {u"DPI_SET3", 9, 0, 4},           {u"DPI_SET_EN3", 9, 0, 1},
    {u"DPI_SET4", 9, 0, 4},    {u"DPI_SET_EN4", 9, 0, 1},        {u"LED_STATUS", 4, 0, 3},
    {u"DPI_SPEED", 4, 0, 9},   {u"WHEEL_SPEED", 4, 0, 9},        {u"FIRE_TIME", 4, 0, 300},
}};

// The profile's fields in the order of kKeys.
std::array<int32_t, kKeys.size()> fieldsOf(const ConfigProfile& p) {
    return {p.buttonFunction[0], p.buttonFunction[1], p.buttonFunction[2], p.buttonFunction[3],
            p.buttonFunction[4], p.buttonFunction[5], p.dpiLevel,          p.wheelStatus,
            p.macroMode2,        p.dpiSet[0],         p.dpiSetEnabled[0],  p.dpiSet[1],
            p.dpiSetEnabled[1],  p.dpiSet[2],         p.dpiSetEnabled[2],  p.dpiSet[3],
            p.dpiSetEnabled[3],  p.ledStatus,         p.dpiSpeed,          p.wheelSpeed,
            p.fireTime};
}

// A value written as "%d" would write it: an optional minus and digits without leading zeros.
bool isPlainNumber(std::u16string_view text) {
    if (!text.empty() && text.front() == u'-')
        text.remove_prefix(1);
    if (text.empty() || (text.size() > 1 && text.front() == u'0'))
        return false;
    return std::ranges::all_of(text, [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

void checkRanges(const ConfigProfile& p) {
    FUZZ_CHECK(p.macroMode2 == 0 || p.macroMode2 == 1);
    FUZZ_CHECK(p.dpiLevel >= 0 && p.dpiLevel < kDpiLevelCount);
    for (size_t level = 0; level < kDpiLevelCount; ++level) {
        FUZZ_CHECK(p.dpiSet[level] < kDpiStepCount);
        FUZZ_CHECK(p.dpiSetEnabled[level] <= 1);
    }
    FUZZ_CHECK(std::ranges::any_of(p.dpiSetEnabled, [](uint8_t e) { return e == 1; }));
    FUZZ_CHECK(p.ledStatus <= kMaxLedMode);
    FUZZ_CHECK(p.dpiSpeed <= kMaxSpeedStep && p.wheelSpeed <= kMaxSpeedStep);
    FUZZ_CHECK(p.fireTime >= 0 && p.fireTime <= kMaxFireTime);
}

// Whether `section` and `key` name a key that the export writes.
bool isExportedKey(std::u16string_view section, std::u16string_view key) {
    if (normalised(section) != normalised(kSection))
        return false;
    const std::u16string name = normalised(key);
    return std::ranges::any_of(kKeys, [&](const Key& k) { return normalised(k.name) == name; });
}

MacroTable tableOf(int count) {
    MacroTable table;
    for (int i = 0; i < count; ++i) {
        MacroRecord& macro = table.macroSlots[static_cast<size_t>(i)];
        macro.setName(i == 0 ? u"Macro" : formatInt(i));
        macro.stepCount = 1;
        macro.steps[0] = {static_cast<uint8_t>('A' + i), 1, 30};
    }
    table.macroCount = static_cast<int16_t>(count);
    return table;
}

void checkProfileFile(std::span<const std::byte> bytes) {
    const ProfileFileReading read = readProfileFile(bytes);
    const auto* file = std::get_if<ProfileFile>(&read);
    if (file == nullptr)
        return;
    checkRanges(file->profile);
    FUZZ_CHECK(file->macros.size() <= kMaxMacros);
    for (const int32_t code : file->profile.buttonFunction) {
        if (code >= 41 && code <= 52)
            FUZZ_CHECK(static_cast<size_t>(code - 41) < file->macros.size());
    }
    const std::vector<std::byte> written = writeProfileFile(*file);
    const ProfileFileReading again = readProfileFile(written);
    FUZZ_CHECK(std::holds_alternative<ProfileFile>(again) && std::get<ProfileFile>(again) == *file);
    FUZZ_CHECK(equalBytes(writeProfileFile(std::get<ProfileFile>(again)), written));

    for (const int used : {1, kMaxMacros}) {
        const MacroTable table = tableOf(used);
        const ProfileImportPlanning planning = planProfileImport(*file, table, 2);
        const auto* plan = std::get_if<ProfileImportPlan>(&planning);
        if (plan == nullptr) {
            FUZZ_CHECK(std::get<ProfileFileProblem>(planning).fault ==
                       ProfileFileFault::NoFreeMacroSlot);
            continue;
        }
        const MacroTable& after = plan->table;
        FUZZ_CHECK(after.macroCount >= table.macroCount && after.macroCount <= kMaxMacros);
        FUZZ_CHECK(std::equal(table.macroSlots.begin(), table.macroSlots.begin() + used,
                              after.macroSlots.begin()));
        for (const MacroPlacement& placed : plan->macros) {
            if (!placed.added)
                continue;
            for (int i = 0; i < after.macroCount; ++i) {
                if (i != placed.tableIndex)
                    FUZZ_CHECK(after.macroSlots[static_cast<size_t>(i)].nameText() != placed.name);
            }
        }
        // Each button plays, from the table, the macro it played from the file.
        const ProfileFile back = profileFileOf(plan->profile, after);
        ConfigProfile others = back.profile;
        others.buttonFunction = file->profile.buttonFunction;
        FUZZ_CHECK(others == file->profile);
        for (size_t n = 0; n < kButtonCount; ++n) {
            const int32_t code = file->profile.buttonFunction[n];
            const int32_t backCode = back.profile.buttonFunction[n];
            if (code < 41 || code > 52) {
                FUZZ_CHECK(backCode == code);
                continue;
            }
            FUZZ_CHECK(backCode >= 41 && static_cast<size_t>(backCode - 41) < back.macros.size());
            MacroRecord played = back.macros[static_cast<size_t>(backCode - 41)];
            MacroRecord expected = file->macros[static_cast<size_t>(code - 41)];
            played.name = expected.name = {};
            FUZZ_CHECK(played == expected);
        }
    }
}

}  // namespace
}  // namespace v270::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace v270;
    using namespace v270::fuzz;
    const auto bytes = std::as_bytes(std::span(data, size));
    checkProfileFile(bytes);
    test::MemoryIniFiles files;
    files.put("chosen.ini", bytes);
    ProfileStore store(files, "config.ini");
    store.setCurrentConfig(3);

    store.loadProfile("chosen.ini", kExportSlot, false);
    const ConfigProfile imported = store.profile();
    checkRanges(imported);
    FUZZ_CHECK(store.currentConfig() == 3);
    FUZZ_CHECK(equalBytes(files.bytes("chosen.ini"), bytes));

    const IniDocument original = files.load("chosen.ini");
    const std::array<int32_t, kKeys.size()> fields = fieldsOf(imported);
    // A file with no DPI level enabled gets its active level enabled.
    const bool noneEnabled = std::ranges::none_of(kKeys, [&](const Key& k) {
        return k.name.starts_with(u"DPI_SET_EN") &&
               parseLeadingInt(original.read(kSection, k.name, k.chars + 1)) != 0;
    });
    for (size_t k = 0; k < kKeys.size(); ++k) {
        const std::u16string stored = original.read(kSection, kKeys[k].name, kKeys[k].chars + 1);
        if (noneEnabled && kKeys[k].name.starts_with(u"DPI_SET_EN"))
            continue;
        if (isPlainNumber(stored)) {
            const int32_t value = parseLeadingInt(stored);
            if (value >= kKeys[k].low && value <= kKeys[k].high)
                FUZZ_CHECK(fields[k] == value);
        }
    }

    // Exported to a new file and imported again.
    FUZZ_CHECK(store.saveProfile("exported.ini", kExportSlot));
    store.loadProfile("exported.ini", kExportSlot, false);
    FUZZ_CHECK(store.profile() == imported);

    // Exported into the user's own file: the profile keys change, nothing else does.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<NamePair> names = namesIn(text, 64);
    std::vector<std::u16string> before;
    for (const auto& [section, key] : names)
        before.push_back(original.read(section, key, 64));
    FUZZ_CHECK(store.saveProfile("chosen.ini", kExportSlot));
    const IniDocument rewritten = files.load("chosen.ini");
    for (size_t i = 0; i < names.size(); ++i) {
        if (!isExportedKey(names[i].first, names[i].second))
            FUZZ_CHECK(rewritten.read(names[i].first, names[i].second, 64) == before[i]);
    }
    store.loadProfile("chosen.ini", kExportSlot, false);
    FUZZ_CHECK(store.profile() == imported);
    return 0;
}
