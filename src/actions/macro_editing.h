#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "settings/macro.h"

// The edits the advanced page makes to the macros, on the records themselves.
namespace v270 {

// Inserts the step (key, action, delay 30) before step `position` (0..stepCount; beyond the
// last step it is appended). False, with nothing changed, when the macro holds the most steps
// it can: 254.
bool insertStep(MacroRecord& macro, int32_t position, uint8_t key, uint8_t action);

// Removes step `step`, moving the later steps down. The count goes down by one (0 stays 0), so
// a step number at or past the new count drops the last step.
void deleteStep(MacroRecord& macro, int32_t step);

// The delay a text typed into the step list means: what precedes the first "ms", read as the C
// runtime reads an integer (0 without digits), held to 0..65535.
uint16_t delayFromText(std::u16string_view text);

// The repeat count a text typed into the repeat-count edit means: held to 1..65535.
uint16_t repeatCountFromText(std::u16string_view text);

struct AddedMacro {
    int32_t index = 0;
    bool created = false;  // false: a macro of that name existed and is selected instead
};

// Adds a blank macro named `name` (its first 19 units) at the end, unless one of that exact
// name exists. Nothing for an empty name or when the table holds 12 macros.
std::optional<AddedMacro> addMacro(MacroTable& table, std::u16string_view name);

// Deletes macro `index`: the later macros move down one place, so buttons that play a macro by
// number then play the one that moved into its place. The vacated last record is cleared to
// play nothing once. Returns the macro to select: the one before, or the first.
int32_t deleteMacro(MacroTable& table, int32_t index);

}  // namespace v270
