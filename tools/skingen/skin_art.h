#pragma once

#include <cairo.h>

#include <optional>

#include "platform/pixel_types.h"
#include "skin_description.h"
#include "ui/page.h"

// The drawing of the skin's pictures with cairo, from the skin description.
namespace v270::skingen {

enum class State { Normal, Over, Down };

// The light of the colour page's preview; by default the page's own colour for the state.
struct PreviewLight {
    bool off = false;
    platform::Rgb colour;
};

// A full-window picture of `page` with every entry in `state`. Entries paint only inside their
// areas, over a background that is the same in all three states.
void drawPage(cairo_t* cr, const SkinDescription& skin, Page page, State state,
              std::optional<PreviewLight> preview = std::nullopt);

// The window's shape: the outline dark on white, without smoothing, so that every pixel is
// plainly in or out.
void drawMask(cairo_t* cr, const std::vector<std::array<int32_t, 2>>& outline,
              platform::PixelSize size);

// The knob that marks the chosen stop of a DPI slider.
void drawKnob(cairo_t* cr, int32_t width, int32_t height);

// The function menu (ten rows, the last four opening a group) or a sub-menu, every row in
// `state`.
void drawMenu(cairo_t* cr, const MenuGeometry& menu, bool subMenu, State state);

// The warning dialog's background with its two buttons in `state`.
void drawWarning(cairo_t* cr, const SkinDescription& skin, State state);

}  // namespace v270::skingen
