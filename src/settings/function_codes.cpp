#include "settings/function_codes.h"

#include <algorithm>

namespace v270 {

std::optional<FunctionCodeInfo> functionCodeInfo(int32_t code) {
    using namespace function_code;
    const auto host = [code](int row, int entry) {
        return FunctionCodeInfo{code, {row, entry}, Performer::Host, hostFunctionCode};
    };
    const auto mouse = [code](int row, int entry, int hardware) {
        return FunctionCodeInfo{
            code, {row, entry}, Performer::Mouse, static_cast<uint8_t>(hardware)};
    };
    if (code >= 1 && code <= 5)
        return mouse(code, 0, code);
    if (code == kDpiCycle)
        return host(6, 0);
    if (code >= 11 && code <= 16)
        return mouse(7, code - 10, code - 4);
    if (code >= kDpiUp && code <= kLedToggle)
        return host(7, code - 10);
    if (code >= 21 && code <= 25)
        return mouse(8, code - 20, code - 8);
    if (code == kVolumeMute)
        return host(8, 6);
    if (code >= kCopy && code <= kNextProfile)
        return host(10, code - 30);
    if (code >= kFirstMacro && code <= kLastMacro)
        return host(9, code - 40);
    return std::nullopt;
}

std::optional<uint8_t> hardwareCodeOf(int32_t code) {
    if (dpiStepOf(code) != 0)
        return hostFunctionCode;
    if (code >= function_code::kVolumeMute && code <= function_code::kLastMacro) {
        return hostFunctionCode;
    }
    if (code >= 0 && code <= 5)
        return static_cast<uint8_t>(code);
    if (code >= 11 && code <= 16)
        return static_cast<uint8_t>(code - 4);
    if (code >= 21 && code <= 25)
        return static_cast<uint8_t>(code - 8);
    if (code == function_code::kLedToggle)
        return hostFunctionCode;
    return std::nullopt;
}

int32_t dpiStepOf(int32_t code) {
    switch (code) {
        case function_code::kDpiCycle:
            return 2;
        case function_code::kDpiUp:
            return 1;
        case function_code::kDpiDown:
            return -1;
        default:
            return 0;
    }
}

std::optional<int> macroIndexOf(int32_t code) {
    if (code < function_code::kFirstMacro || code > function_code::kLastMacro)
        return std::nullopt;
    return code - function_code::kFirstMacro;
}

void keepOnePrimaryClick(std::array<int32_t, kButtonCount>& buttonFunction, int assigned) {
    if (assigned < 0 || assigned >= kButtonCount)
        return;
    if (std::ranges::find(buttonFunction, function_code::kPrimaryClick) != buttonFunction.end()) {
        return;
    }
    const int target = assigned == kButtonCount - 1 ? assigned : assigned + 1;
    buttonFunction[static_cast<size_t>(target)] = function_code::kPrimaryClick;
}

}  // namespace v270
