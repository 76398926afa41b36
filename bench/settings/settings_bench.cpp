// Profile and macro persistence on files of realistic size.
#include <benchmark/benchmark.h>

#include "platform/message_boxes.h"
#include "settings/macro_store.h"
#include "settings/profile_format.h"
#include "settings/profile_store.h"
#include "support/temp_folder.h"

namespace v270 {
namespace {

class SilentMessages : public platform::MessageBoxes {
  public:
    void show(std::u16string_view) override {}
};

// A config.ini as the program leaves it: "Init", seven profile sections and the factory ones.
void writeRealisticConfig(IniFiles& files, const std::filesystem::path& file) {
    files.update(file, [](IniDocument& document) {
        document.write(u"Init", u"CurConfig", u"1");
        document.write(u"Init", u"VER_SEL", u"1");
        const ConfigProfile profile = builtInDefaultProfile(0);
        for (const char16_t* section :
             {u"Config1", u"Config2", u"Config3", u"Config4", u"Config5", u"Config6", u"Config7",
              u"CfgReset2", u"CfgReset3", u"CfgReset4", u"CfgReset5", u"CfgReset_EN5"}) {
            writeProfileSection(document, section, profile);
        }
    });
}

void BM_SaveAndLoadProfile(benchmark::State& state) {
    test::TempFolder folder;
    IniFiles files;
    ProfileStore store(files, folder / "config.ini");
    writeRealisticConfig(files, store.configFilePath());
    store.loadProfile(store.configFilePath(), 3, false);
    int32_t fireTime = 0;
    const uint64_t replacesBefore = files.replacements();
    for (auto _ : state) {
        store.edit([&](ConfigProfile& p) { p.fireTime = fireTime = (fireTime + 8) % 300; });
        store.saveProfile(store.configFilePath(), 3);
        store.loadProfile(store.configFilePath(), 3, false);
    }
    state.counters["replaces_per_save"] =
        static_cast<double>(files.replacements() - replacesBefore) /
        static_cast<double>(state.iterations());
}
BENCHMARK(BM_SaveAndLoadProfile)->Unit(benchmark::kMicrosecond);

MacroRecord fullMacro(int index) {
    MacroRecord record;
    record.setName(u"Macro " + std::u16string(1, static_cast<char16_t>(u'A' + index)));
    record.repeatEnabled = 1;
    record.repeatCount = 300;
    record.stepCount = kMaxMacroSteps;
    for (int s = 0; s < kMaxMacroSteps; ++s) {
        record.steps[static_cast<size_t>(s)] = {static_cast<uint8_t>(0x41 + s % 26),
                                                static_cast<uint8_t>(s % 2 + 1),
                                                static_cast<uint16_t>(s * 7)};
    }
    return record;
}

class MacroFixture {
  public:
    MacroFixture() {
        store.edit([](MacroTable& table) {
            table.macroCount = kMaxMacros;
            for (int i = 0; i < kMaxMacros; ++i)
                table.macroSlots[static_cast<size_t>(i)] = fullMacro(i);
        });
        store.saveMacros(file);
    }
    test::TempFolder folder;
    IniFiles files;
    SilentMessages messages;
    MacroStore store{files, messages};
    std::filesystem::path file = folder / "Macro_EN.dat";
};

void BM_SaveMacros(benchmark::State& state) {
    MacroFixture fixture;
    uint16_t repeat = 1;
    for (auto _ : state) {
        // A changed repeat count, as the save action writes it.
        fixture.store.edit([&](MacroTable& table) { table.macroSlots[0].repeatCount = ++repeat; });
        fixture.store.saveMacros(fixture.file);
    }
}
BENCHMARK(BM_SaveMacros)->Unit(benchmark::kMillisecond);

void BM_LoadMacros(benchmark::State& state) {
    MacroFixture fixture;
    for (auto _ : state)
        fixture.store.loadMacros(fixture.file);
    state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(fixture.file));
}
BENCHMARK(BM_LoadMacros)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace v270
