#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "ui/skin_tables.h"

namespace v270 {

// The text shown for a button's function code: for codes 1..40 entry code - 1 of
// `functionNames`, for the macro codes 41..52 the name of macro code - 41. `macroNames` holds the
// names of the macros in use, so a macro code whose macro does not exist (any more) shows no
// name, just as pressing it does nothing. Codes below 1 or above 52 are no function and show no
// name; no code ever reads past a table.
std::u16string_view functionNameOf(int32_t code,
                                   const std::array<std::u16string, kFunctionNameCount>& names,
                                   std::span<const std::u16string> macroNames);

}  // namespace v270
