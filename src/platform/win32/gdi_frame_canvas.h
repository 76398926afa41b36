#pragma once

#include <windows.h>

#include "platform/frame_canvas.h"
#include "platform/win32/gdi_fonts.h"
#include "platform/win32/gdi_objects.h"

namespace v270::win32 {

// The back buffer of one frame: a DIB section in a memory context. Pictures decoded by
// GdiplusPictureDecoder are copied with BitBlt; text is written with GDI in the interface
// fonts on a transparent background. present() shows the finished frame in one copy, so the
// window never shows a half-drawn one.
class GdiFrameCanvas : public platform::FrameCanvas {
  public:
    GdiFrameCanvas(platform::PixelSize size, const GdiFonts& fonts);

    explicit operator bool() const { return static_cast<bool>(buffer_); }

    void copy(const platform::Picture& picture, const platform::PixelRect& source, int32_t destX,
              int32_t destY) override;
    platform::TextExtent measureText(std::u16string_view text, platform::FontChoice font) override;
    void drawText(std::u16string_view text, int32_t x, int32_t y, platform::FontChoice font,
                  platform::Rgb colour) override;
    void fill(const platform::PixelRect& rect, platform::Rgb colour) override;

    // Copies the whole frame to (0, 0) of `target`.
    void present(HDC target) const;

    HDC dc() const { return buffer_.dc(); }
    platform::Rgb pixel(int32_t x, int32_t y) const;

  private:
    DibSurface buffer_;
    const GdiFonts& fonts_;
};

}  // namespace v270::win32
