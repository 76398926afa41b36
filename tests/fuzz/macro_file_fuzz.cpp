// Any bytes as a macro file, loaded into the macro table as the program loads Macro_EN.dat or an
// imported file. Checked: at most twelve macros, the current macro among them, the slots past
// them untouched, a missing record all zeros; every record keeps its name's terminator and at
// most 254 steps; a record saved and read again is the same record, so a load and a save lose
// or change no macro (that a document reads back what was written is the settings-file target's
// to check), and a record in its canonical form saves as the very text it was read from; the
// step list of every macro has a row per step and delay.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "actions/step_list.h"
#include "fuzz_check.h"
#include "settings/macro_format.h"
#include "settings/macro_store.h"
#include "settings/text.h"
#include "support/memory_ini_files.h"
#include "support/recording_message_boxes.h"

namespace v270::fuzz {
namespace {

// A record that no file produces, to see which slots a load leaves alone.
MacroRecord sentinelRecord() {
    MacroRecord record;
    record.setName(u"untouched");
    record.repeatCount = 7;
    record.stepCount = 1;
    record.steps[0] = MacroStep{65, kStepPress, 1234};
    return record;
}

// Three digits per byte, each group 0..255, and what a record cannot hold (a name unit in the
// terminator's place, more than 254 steps) absent: a file the program itself could have saved.
bool isCanonical(std::u16string_view text) {
    if (text.size() != kMacroRecordChars)
        return false;
    for (size_t k = 0; k < kMacroRecordBytes; ++k) {
        int value = 0;
        for (size_t d = 0; d < 3; ++d) {
            const char16_t c = text[3 * k + d];
            if (c < u'0' || c > u'9')
                return false;
            value = value * 10 + (c - u'0');
        }
        const bool terminator = k == 2 * (kMacroNameUnits - 1) || k == 2 * kMacroNameUnits - 1;
        if (value > 255 || (terminator && value != 0) || (k == 43 && value > kMaxMacroSteps))
            return false;
    }
    return true;
}

void checkRecord(const MacroRecord& record, std::u16string_view storedText) {
    FUZZ_CHECK(record.name[kMacroNameUnits - 1] == u'\0');
    FUZZ_CHECK(record.nameText().size() < kMacroNameUnits);
    FUZZ_CHECK(record.stepCount <= kMaxMacroSteps);

    if (storedText.empty()) {
        FUZZ_CHECK(record == MacroRecord{});
        return;
    }
    const std::u16string saved = serializeMacro(record);
    FUZZ_CHECK(saved.size() == kMacroRecordChars);
    FUZZ_CHECK(parseMacro(saved) == record);
    if (isCanonical(storedText))
        FUZZ_CHECK(saved == storedText);

    for (const bool english : {true, false}) {
        const StepListRows list = stepListRows(record, english);
        const size_t steps = record.stepCount;
        FUZZ_CHECK(list.rows.size() == (steps == 0 ? 0 : 2 * steps - 1));
        FUZZ_CHECK(static_cast<size_t>(list.pressCount + list.releaseCount) <= steps);
        for (const std::u16string& row : list.rows)
            FUZZ_CHECK(!row.empty());
    }
}

}  // namespace
}  // namespace v270::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace v270;
    using namespace v270::fuzz;
    const IniDocument document = IniDocument::parse(std::as_bytes(std::span(data, size)));

    test::MemoryIniFiles files;
    test::RecordingMessageBoxes messages;
    MacroStore store(files, messages);
    store.edit([](MacroTable& table) {
        for (int i = 0; i < kMaxMacros; ++i)
            table.macroSlots[static_cast<size_t>(i)] = sentinelRecord();
    });
    store.loadMacros(document);
    const MacroTable table = store.table();

    FUZZ_CHECK(table.macroCount >= 0 && table.macroCount <= kMaxMacros);
    FUZZ_CHECK(table.currentMacro == (table.macroCount > 0 ? table.macroCount - 1 : 0));
    FUZZ_CHECK(!store.unsavedEdits());
    for (int i = 0; i <= kMaxMacros; ++i) {
        const MacroRecord& record = table.macroSlots[static_cast<size_t>(i)];
        if (i < table.macroCount) {
            checkRecord(record, document.read(kMacroSection, formatInt(i), kMacroRecordChars + 1));
            FUZZ_CHECK(store.macro(i) == record);
        } else {
            FUZZ_CHECK(record == (i == MacroTable::kBlankSlot ? MacroRecord{} : sentinelRecord()));
            FUZZ_CHECK(!store.macro(i).has_value());
        }
    }
    FUZZ_CHECK(!store.macro(-1).has_value());

    return 0;
}
