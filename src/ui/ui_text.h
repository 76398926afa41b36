#pragma once

#include "platform/frame_canvas.h"
#include "platform/pixel_types.h"

// The text colours and the font choice of the skinned windows.
namespace v270 {

namespace text_colour {
inline constexpr platform::Rgb kWhite{255, 255, 255};
inline constexpr platform::Rgb kYellow{255, 255, 0};
inline constexpr platform::Rgb kGreen{0, 255, 0};
inline constexpr platform::Rgb kRed{255, 0, 0};
inline constexpr platform::Rgb kGrey{128, 128, 128};
}  // namespace text_colour

// The interface language picks the font, here and in the popups.
constexpr platform::FontChoice fontFor(bool english) {
    return english ? platform::FontChoice::English : platform::FontChoice::Chinese;
}

}  // namespace v270
