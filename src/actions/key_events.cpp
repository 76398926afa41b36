#include "actions/key_events.h"

#include "actions/virtual_keys.h"

namespace v270 {

namespace {

constexpr uint8_t kSnapshotScanCode = 0x37;
constexpr uint8_t kPauseScanCode = 0x45;
constexpr uint8_t kLeftWinScanCode = 0x5B;

}  // namespace

bool isExtendedKey(uint8_t virtualKey) {
    using namespace virtual_key;
    return (virtualKey >= kPrior && virtualKey <= kDown) ||
           (virtualKey >= kSnapshot && virtualKey <= kDelete) || virtualKey == kLeftWin ||
           virtualKey == kApps || virtualKey == kDivide || virtualKey == kNumLock ||
           virtualKey == kRightShift || virtualKey == kRightControl || virtualKey == kRightMenu;
}

uint8_t mappedScanCode(uint8_t virtualKey, platform::SyntheticInput& input) {
    return static_cast<uint8_t>(input.scanCodeOf(virtualKey) & 0xFFu);
}

uint8_t macroScanCode(uint8_t virtualKey, platform::SyntheticInput& input) {
    switch (virtualKey) {
        case virtual_key::kSnapshot:
            return kSnapshotScanCode;
        case virtual_key::kPause:
            return kPauseScanCode;
        case virtual_key::kLeftWin:
            return kLeftWinScanCode;
        default:
            return mappedScanCode(virtualKey, input);
    }
}

}  // namespace v270
