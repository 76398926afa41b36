#include "ui/function_names.h"

#include "settings/function_codes.h"

namespace v270 {

std::u16string_view functionNameOf(int32_t code,
                                   const std::array<std::u16string, kFunctionNameCount>& names,
                                   std::span<const std::u16string> macroNames) {
    if (code >= 1 && code < function_code::kFirstMacro) {
        return names[static_cast<size_t>(code - 1)];
    }
    if (code >= function_code::kFirstMacro && code <= function_code::kLastMacro) {
        const auto macro = static_cast<size_t>(code - function_code::kFirstMacro);
        if (macro < macroNames.size())
            return macroNames[macro];
    }
    return {};
}

}  // namespace v270
