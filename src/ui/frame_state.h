#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/mouse_state.h"
#include "platform/pixel_types.h"
#include "settings/config_profile.h"
#include "ui/banner_text.h"
#include "ui/display_scale.h"
#include "ui/page.h"

namespace v270 {

// The LED preview of the colour page, as its thread left it.
struct LedPreviewView {
    int32_t previewColour = 0;  // 0..3, the colour shown while lit
    bool previewOff = false;    // the unlit picture is shown

    bool operator==(const LedPreviewView&) const = default;
};

// Everything one frame of the main window shows, gathered once so that a frame is a function of
// this value alone.
struct FrameState {
    // The scale of the window's monitor: the tables, pictures and fonts are drawn at it.
    DisplayScale scale;
    Page currentPage = PAGE_MAIN;
    int32_t mainHover = NO_HIT;
    int32_t advancedHover = NO_HIT;
    int32_t colourHover = NO_HIT;
    bool buttonPressed = false;

    ConfigProfile profile;
    MouseState mouse;           // what the mouse holds: the colour page's DPI value
    int32_t currentConfig = 1;  // 1..5
    bool english = true;

    BannerView banner;

    // The names of the macros in use (macroCount of them), and the current macro's repeat flag.
    std::vector<std::u16string> macroNames;
    bool currentMacroRepeats = false;

    // Recording: the record entry's label, and the counters of the events recorded.
    bool recording = false;
    int32_t pressCount = 0;
    int32_t releaseCount = 0;

    LedPreviewView ledPreview;

    // The keyboard focus mark, around this area, once the keyboard has moved the focus.
    std::optional<platform::PixelRect> focusMark;
};

}  // namespace v270
