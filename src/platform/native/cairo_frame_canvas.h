#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/frame_canvas.h"
#include "platform/pixel_types.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo_scaled_font cairo_scaled_font_t;

namespace v270::platform {

// A frame in memory, drawn with cairo: pictures are copied row by row, text is written with
// faces that ship with Debian and stand in for the Windows fonts: DejaVu Sans Mono for the
// English font and WenQuanYi Micro Hei for the Chinese one, scaled to the same cell sizes.
class CairoFrameCanvas : public FrameCanvas {
  public:
    // An opaque black frame of `size`, its fonts at `dpi` dots per inch.
    explicit CairoFrameCanvas(PixelSize size, int32_t dpi = kFontBaseDpi);
    ~CairoFrameCanvas() override;
    CairoFrameCanvas(const CairoFrameCanvas&) = delete;
    CairoFrameCanvas& operator=(const CairoFrameCanvas&) = delete;

    void copy(const Picture& picture, const PixelRect& source, int32_t destX,
              int32_t destY) override;
    TextExtent measureText(std::u16string_view text, FontChoice font) override;
    void drawText(std::u16string_view text, int32_t x, int32_t y, FontChoice font,
                  Rgb colour) override;
    void fill(const PixelRect& rect, Rgb colour) override;

    PixelSize size() const { return size_; }
    Rgb pixel(int32_t x, int32_t y) const;
    // Every pixel, row by row, in the 0x00RRGGBB layout.
    std::vector<uint32_t> pixels() const;

    // Makes the pixels for which `cut` holds transparent, as the window shape leaves them.
    void cutOut(const std::function<bool(int32_t x, int32_t y)>& cut);
    // Writes the frame as a PNG file; false when that fails.
    bool writePng(const std::filesystem::path& file) const;

  private:
    struct Font;
    const Font& fontOf(FontChoice font) const;
    uint32_t* rowData(int32_t y) const;

    PixelSize size_;
    cairo_surface_t* surface_ = nullptr;
    cairo_t* cairo_ = nullptr;
    std::unique_ptr<Font> english_;
    std::unique_ptr<Font> chinese_;
};

}  // namespace v270::platform
