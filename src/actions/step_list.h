#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/macro.h"

// The rows the step list shows for a macro. A macro of n steps has 2n - 1 rows: row 2k shows
// step k, row 2k + 1 the delay that follows it; the last step's delay is not shown. Row r
// belongs to step r / 2.
namespace v270 {

// "[↓]" and the key's name for a press, "[↑]" and the name for a release, the name alone for any
// other action.
std::u16string stepRowText(const MacroStep& step, bool english);

// The delay as "    %dms": four spaces, the number, "ms".
std::u16string delayRowText(uint16_t delay);

struct StepListRows {
    std::vector<std::u16string> rows;
    int32_t pressCount = 0;    // press rows, shown as "[↓]" and the count
    int32_t releaseCount = 0;  // release rows, shown as "[↑]" and the count
};

// The rows of the first stepCount steps of `macro`.
StepListRows stepListRows(const MacroRecord& macro, bool english);

// Whether row `row` of a step list is a delay row.
constexpr bool isDelayRow(int32_t row) {
    return row % 2 == 1;
}

}  // namespace v270
