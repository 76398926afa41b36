#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "settings/config_profile.h"

// The button function codes: what a profile stores per button, what the menus assign, what the
// mouse is told and what the PC performs.
namespace v270 {

namespace function_code {
inline constexpr int32_t kPrimaryClick = 1;  // must stay assigned to at least one button
inline constexpr int32_t kDpiCycle = 6;
inline constexpr int32_t kDpiUp = 17;
inline constexpr int32_t kDpiDown = 18;
inline constexpr int32_t kLedToggle = 19;
inline constexpr int32_t kVolumeMute = 26;
inline constexpr int32_t kCopy = 31;
inline constexpr int32_t kPaste = 32;
inline constexpr int32_t kSelectAll = 33;
inline constexpr int32_t kUndo = 34;
inline constexpr int32_t kCloseWindow = 35;  // Alt+F4
inline constexpr int32_t kComputerFolder = 36;
inline constexpr int32_t kLockWorkstation = 37;
inline constexpr int32_t kCalculator = 38;
inline constexpr int32_t kCommandPrompt = 39;
inline constexpr int32_t kNextProfile = 40;
inline constexpr int32_t kFirstMacro = 41;  // macro m is played by code 41 + m
inline constexpr int32_t kLastMacro = 52;
}  // namespace function_code

// Hardware code 31: the mouse reports each press of the button to the PC, which performs it.
inline constexpr uint8_t hostFunctionCode = 31;

// The mouse's own number of each button slot (0-based slot index). Slots 4 and 5 are crossed.
inline constexpr std::array<uint8_t, kButtonCount> buttonHardwareId = {1, 2, 3, 5, 4, 6};

// The built-in code of each slot: with the crossing above, every button does its native
// function, and slot 6 cycles the DPI level.
inline constexpr std::array<int32_t, kButtonCount> defaultButtonFunction = {1, 2, 3, 5, 4, 6};

enum class Performer { Mouse, Host };

// Where the function menus offer a code: a main menu row (1..10), and for codes in a sub-menu
// the entry in it (1-based; 0 for a code picked in the main menu itself).
struct MenuPlace {
    int mainRow = 0;
    int entry = 0;
};

struct FunctionCodeInfo {
    int32_t code = 0;
    MenuPlace menu;
    Performer performer = Performer::Mouse;
    uint8_t hardwareCode = 0;
};

// The table row of a code that a menu can assign; nullopt for any other code.
std::optional<FunctionCodeInfo> functionCodeInfo(int32_t code);

// The hardware code written to the mouse for `code`. A stored 0 (a missing key) gives 0. Codes
// that no menu assigns and that fall outside the ranges of the table (7..10, 20, above 52,
// negative) have none: such a slot's button report is not sent, and the mouse keeps what it had.
std::optional<uint8_t> hardwareCodeOf(int32_t code);

// The DPI change a press performs: 2 cycles, +1 goes up, -1 down, 0 is no DPI function.
int32_t dpiStepOf(int32_t code);

// Macro index played by `code`, or nullopt when it is not a macro code.
std::optional<int> macroIndexOf(int32_t code);

// After slot `assigned` (0-based) got a new code: when no slot holds the primary click any more,
// the next slot gets it, or the assigned slot itself when it is the last one.
void keepOnePrimaryClick(std::array<int32_t, kButtonCount>& buttonFunction, int assigned);

}  // namespace v270
