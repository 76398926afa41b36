#pragma once

#include <cstdint>
#include <string_view>

#include "platform/picture.h"
#include "platform/pixel_types.h"

namespace v270::platform {

// The two interface fonts. English is a fixed-pitch face 15 pixels high and 7 wide, Chinese a
// face 12 high and 6 wide; each backend creates them once.
enum class FontChoice { English, Chinese };

struct TextExtent {
    int32_t width = 0;
    int32_t height = 0;

    bool operator==(const TextExtent&) const = default;
};

// The dots per inch the interface fonts' sizes are given for.
inline constexpr int32_t kFontBaseDpi = 96;

// The cell of a font, height and character width, on a screen of `dpi` dots per inch: the
// sizes at 96 DPI scaled to the nearest pixel, halves up.
constexpr TextExtent fontCell(FontChoice font, int32_t dpi) {
    const TextExtent base = font == FontChoice::English ? TextExtent{7, 15} : TextExtent{6, 12};
    const auto scale = [dpi](int32_t length) {
        return (length * dpi + kFontBaseDpi / 2) / kFontBaseDpi;
    };
    return {scale(base.width), scale(base.height)};
}

// The back buffer of one frame of a skinned window: pictures are copied onto it and text is
// written over them, then the window shows the whole buffer at once.
class FrameCanvas {
  public:
    virtual ~FrameCanvas() = default;

    // Copies the part `source` of `picture` to (destX, destY). The parts of `source` that lie
    // outside the picture or the canvas are left out.
    virtual void copy(const Picture& picture, const PixelRect& source, int32_t destX,
                      int32_t destY) = 0;

    // The size of one line of `text`: its advance width and the font's height.
    virtual TextExtent measureText(std::u16string_view text, FontChoice font) = 0;

    // Writes one line of `text` with its cell's top-left corner at (x, y), on a transparent
    // background.
    virtual void drawText(std::u16string_view text, int32_t x, int32_t y, FontChoice font,
                          Rgb colour) = 0;

    // Fills `rect` (clipped to the canvas) with `colour`.
    virtual void fill(const PixelRect& rect, Rgb colour) = 0;
};

}  // namespace v270::platform
