#pragma once

#include <windows.h>

#include <optional>

#include "platform/win32/gdi_fonts.h"
#include "platform/win32/gdi_objects.h"
#include "platform/win32/gdiplus_picture_decoder.h"
#include "ui/display_scale.h"
#include "ui/frame_painter.h"
#include "ui/frame_state.h"
#include "ui/picture_prefetch.h"
#include "ui/picture_source.h"
#include "ui/scaled_pictures.h"
#include "ui/window_shape.h"

namespace v270 {
struct Program;
}

namespace v270::win32 {

// The main window's look: its shape from the skin's mask, its fonts, and each frame composed in
// a back buffer from the state of the moment and shown in one copy; all at the scale of the
// window's monitor.
class MainWindowPainter {
  public:
    explicit MainWindowPainter(const Program& program);

    // The fonts, and the popups' pictures, for a window at `scale`.
    void setScale(DisplayScale scale);
    // Starts decoding and scaling the mask and the first frame's pictures on another thread,
    // while the window initialises.
    void prefetchFirstFrame();
    DisplayScale scale() const { return scale_; }
    const GdiFonts* fonts() const { return fonts_ ? &*fonts_ : nullptr; }

    // Builds the window shape and the advanced page's redraw region from "main_mask.jpg" at the
    // scale, and gives the shape to `window`. Without `at`, the shaped window is centred in the
    // work area; with it, its top-left corner goes there.
    void shapeWindow(HWND window, std::optional<POINT> at = std::nullopt);
    const WindowShape& shape() const { return shape_; }
    // The size of the window at another scale, from the mask's size; zero before the shape.
    platform::PixelSize sizeAt(DisplayScale scale) const { return scale.size(maskSize_); }
    // The advanced page's redraw region as a system region, made with the shape.
    HRGN advancedRedrawRegion() const { return advancedRegion_.get(); }

    // The decoder the popups load their masks with, and the pictures they draw, at the scale.
    platform::PictureDecoder& decoder() { return decoder_; }
    PictureSource& popupPictures() { return scaledPopupPictures_; }

    void paint(HDC target);

  private:
    // The first frame's pictures from the prefetch, into the caches the frames read.
    void takePrefetched();

    const Program& program_;
    GdiplusPictureDecoder decoder_;
    PictureCache pictures_{decoder_};
    FramePainter painter_;
    PictureCache popupPictures_{decoder_};
    ScaledPictures scaledPopupPictures_{popupPictures_};
    DisplayScale scale_;
    std::optional<GdiFonts> fonts_;
    WindowShape shape_;
    platform::PixelSize maskSize_;
    UniqueRegion advancedRegion_;
    bool firstFrameShown_ = false;
    std::unique_ptr<PicturePrefetch> prefetch_;
};

}  // namespace v270::win32
