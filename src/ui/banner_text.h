#pragma once

#include <cstdint>
#include <string>

#include "device/handover_flags.h"

namespace v270 {

// What a frame needs of the start prompt, read once from the shared flags.
struct BannerView {
    bool driverWorking = true;
    int32_t startKeyNumber = 0;   // slot 1..6 of the first host-function button
    bool startKeyVisible = true;  // blink phase: the number shown, or a blank in its place
    bool mouseAway = false;       // the program waits for the mouse

    static BannerView of(const BannerState& state);

    bool operator==(const BannerView&) const = default;
};

// The status banner's line: that the mouse is not connected while the program waits for it,
// else the working text, or the prompt to click the start key, whose number blinks.
std::u16string bannerText(const BannerView& banner, bool english);

}  // namespace v270
