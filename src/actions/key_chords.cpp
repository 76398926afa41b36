#include "actions/key_chords.h"

#include "actions/key_events.h"
#include "actions/virtual_keys.h"

namespace v270 {

namespace {

constexpr uint8_t kNoScanCode = 0;
constexpr uint32_t kDown = 0;
constexpr uint32_t kUp = platform::kKeyEventKeyUp;

}  // namespace

void sendControlChord(uint8_t letter, platform::SyntheticInput& input, platform::Clock& clock) {
    input.keyEvent(virtual_key::kControl, kNoScanCode, kDown);
    input.keyEvent(letter, mappedScanCode(letter, input), kDown);
    clock.sleepFor(kChordHold);
    input.keyEvent(letter, mappedScanCode(letter, input), kUp);
    input.keyEvent(virtual_key::kControl, kNoScanCode, kUp);
}

void sendAltF4(platform::SyntheticInput& input) {
    const uint8_t f4 = mappedScanCode(virtual_key::kF4, input);
    input.keyEvent(virtual_key::kMenu, kNoScanCode, kDown);
    input.keyEvent(virtual_key::kF4, f4, kDown);
    input.keyEvent(virtual_key::kF4, f4, kUp);
    input.keyEvent(virtual_key::kMenu, kNoScanCode, kUp);
}

void sendVolumeMute(platform::SyntheticInput& input) {
    // A key-down alone would leave the key down in the system's key state, so that the next
    // press of mute would look like a repeat.
    input.keyEvent(virtual_key::kVolumeMute, kNoScanCode, kDown);
    input.keyEvent(virtual_key::kVolumeMute, kNoScanCode, kUp);
}

}  // namespace v270
