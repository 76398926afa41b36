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
//
// Made on a window's paint context instead, it draws straight onto the window, without a back
// buffer: for a first frame, which has nothing on screen to keep from flickering, that spares
// the buffer's memory and one copy of the whole frame. present() then does nothing.
class GdiFrameCanvas : public platform::FrameCanvas {
  public:
    GdiFrameCanvas(platform::PixelSize size, const GdiFonts& fonts);
    GdiFrameCanvas(HDC target, platform::PixelSize size, const GdiFonts& fonts);

    explicit operator bool() const { return dc() != nullptr; }

    void copy(const platform::Picture& picture, const platform::PixelRect& source, int32_t destX,
              int32_t destY) override;
    platform::TextExtent measureText(std::u16string_view text, platform::FontChoice font) override;
    void drawText(std::u16string_view text, int32_t x, int32_t y, platform::FontChoice font,
                  platform::Rgb colour) override;
    void fill(const platform::PixelRect& rect, platform::Rgb colour) override;

    // Copies the whole frame to (0, 0) of `target`.
    void present(HDC target) const;

    HDC dc() const { return target_ != nullptr ? target_ : buffer_.dc(); }
    // A pixel of the back buffer (black for a canvas without one).
    platform::Rgb pixel(int32_t x, int32_t y) const;

  private:
    // Copies rows of a picture held in memory onto the window, through a band of a few rows.
    void copyThroughBand(const platform::Picture& picture, const platform::PixelRect& source,
                         int32_t destX, int32_t destY);

    DibSurface buffer_;
    HDC target_ = nullptr;
    DibSurface band_;  // made at the first such copy onto the window
    platform::PixelSize size_;
    const GdiFonts& fonts_;
};

}  // namespace v270::win32
