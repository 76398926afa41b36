#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace v270 {

inline constexpr int kMaxMacros = 12;
inline constexpr int kMacroNameUnits = 20;  // 19 characters and the terminator
inline constexpr int kMacroStepSlots = 255;
inline constexpr int kMaxMacroSteps = 254;  // the last slot is never in use
inline constexpr uint16_t kInsertedStepDelay = 30;

// Step keys from 240 on are mouse buttons; below are Windows virtual-key codes.
inline constexpr uint8_t kMouseLeftKey = 240;
inline constexpr uint8_t kMouseRightKey = 241;
inline constexpr uint8_t kMouseMiddleKey = 242;

inline constexpr uint8_t kStepPress = 1;
inline constexpr uint8_t kStepRelease = 2;

struct MacroStep {
    uint8_t key = 0;
    uint8_t action = 0;  // kStepPress or kStepRelease; anything else sends nothing
    uint16_t delay = 0;  // milliseconds after the event

    bool operator==(const MacroStep&) const = default;
};

// One macro: a fixed-size plain value, copied and moved as a whole.
struct MacroRecord {
    std::array<char16_t, kMacroNameUnits> name{};
    uint8_t repeatEnabled = 0;
    uint16_t repeatCount = 0;
    uint8_t stepCount = 0;
    std::array<MacroStep, kMacroStepSlots> steps{};

    // The name up to its terminator.
    std::u16string_view nameText() const;
    // Stores at most 19 units of `text` and zeroes the rest of the field.
    void setName(std::u16string_view text);

    bool operator==(const MacroRecord&) const = default;
};

// All macros: slots 0..11 hold macros 0..11; slot 12 is the blank record that clears a macro when
// a recording starts. It is never loaded or saved.
struct MacroTable {
    int16_t macroCount = 0;  // 0..12
    std::array<MacroRecord, kMaxMacros + 1> macroSlots{};
    int32_t currentMacro = 0;

    static constexpr int kBlankSlot = kMaxMacros;

    bool operator==(const MacroTable&) const = default;
};

}  // namespace v270
