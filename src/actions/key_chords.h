#pragma once

#include <chrono>
#include <cstdint>

#include "platform/clock.h"
#include "platform/synthetic_input.h"

// The fixed keystrokes of the shortcut functions.
namespace v270 {

// How long the letter of a Ctrl chord stays down, so that programs polling the keyboard see it.
inline constexpr std::chrono::milliseconds kChordHold{20};

// Ctrl + `letter`: Ctrl down, the letter down, a pause of kChordHold, the letter up, Ctrl up.
// Ctrl goes with scan code 0, the letter with its mapped scan code, looked up for each event.
void sendControlChord(uint8_t letter, platform::SyntheticInput& input, platform::Clock& clock);

// Alt+F4: Alt down, F4 down, F4 up, Alt up, without pauses; Alt with scan code 0.
void sendAltF4(platform::SyntheticInput& input);

// The volume mute key, pressed and released.
void sendVolumeMute(platform::SyntheticInput& input);

}  // namespace v270
